#include "core/selection/SelectionScriptRunner.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/ProcessRunner.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
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
    ProcessRequest request(QFile::encodeName(path), {QByteArrayLiteral("--print0")});
    request.waitForExit = true;
    request.timeout =
        std::chrono::milliseconds(std::llround(std::max(0.0, timeoutSeconds) * 1000.0));
    request.killOnTimeout = true;
    request.outputLimit = outputLimit;
    const ProcessResult result = m_processes.run(request);
    if (!result.succeeded())
        return Outcome::failed();
    return Outcome::succeeded(urlsFromOutput(result.standardOutput));
}

SelectionScriptRunner::Outcome SelectionScriptRunner::run(const ScriptableFileManager& manager,
                                                          double timeoutSeconds) const {
    return run(manager.scriptFileName, ApplicationScriptsInstaller::defaultDirectory(),
               timeoutSeconds);
}

QList<QUrl> SelectionScriptRunner::selectedFiles(const ScriptableFileManager& manager) const {
    const Outcome outcome = run(manager, selectionTimeout);
    return outcome.kind == Outcome::Kind::succeeded ? outcome.urls : QList<QUrl>();
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
