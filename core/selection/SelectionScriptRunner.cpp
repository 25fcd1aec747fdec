#include "core/selection/SelectionScriptRunner.h"

#include "core/model/LocalFileURL.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/BoundedProcessRunner.h"
#include "core/selection/SelectionHelperScript.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

SelectionScriptRunner::Outcome SelectionScriptRunner::run(const QString& scriptFileName,
                                                          const std::optional<QString>& folder,
                                                          double timeoutSeconds) const {
    if (!folder || scriptFileName.isEmpty())
        return Outcome::missingScript();
    const QString path = QDir(*folder).filePath(scriptFileName);
    const QFileInfo info(path);
    if (!info.exists())
        return Outcome::missingScript();
    if (!info.isFile())
        return Outcome::failed();
    const int timeoutMs = int(std::lround(std::max(0.0, timeoutSeconds) * 1000.0));
    const BoundedProcessRunner::Result result =
        m_processes.run(path, {QStringLiteral("--print0")}, timeoutMs, outputLimit);
    if (!result.succeeded())
        return Outcome::failed();
    return Outcome::succeeded(urlsFromOutput(result.standardOutput));
}

SelectionScriptRunner::Outcome
SelectionScriptRunner::runForFileManager(const QString& desktopID, double timeoutSeconds) const {
    const SelectionHelperScript* script = SelectionHelperScript::forDesktopID(desktopID);
    if (!script)
        return Outcome::missingScript();
    return run(script->scriptFileName, ApplicationScriptsInstaller::defaultDirectory(),
               timeoutSeconds);
}

QList<QUrl> SelectionScriptRunner::urlsFromOutput(const QByteArray& output) {
    const char separator = output.contains('\0') ? '\0' : '\n';
    QList<QUrl> urls;
    for (QByteArray path : output.split(separator)) {
        if (separator == '\n' && path.endsWith('\r'))
            path.chop(1);
        if (!path.startsWith('/'))
            continue;
        urls.append(LocalFileURL::fromNativePath(path));
    }
    return urls;
}
