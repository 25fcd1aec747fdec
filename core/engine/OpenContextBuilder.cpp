#include "core/engine/OpenContextBuilder.h"

#include "core/engine/RuleEvaluator.h"
#include "core/model/PathExtension.h"
#include "core/platform/FileMetadata.h"
#include "core/platform/RunningApplications.h"

namespace {
QString parentOf(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return trimmed.left(slash);
}
} // namespace

OpenContextBuilder::OpenContextBuilder(const RunningApplications& running,
                                       const FileMetadata& metadata)
    : m_running(running)
    , m_metadata(metadata) {}

OpenContext
OpenContextBuilder::makeOpenContext(const QUrl& file, const Route& route,
                                    const std::optional<QSet<QString>>& activeHotkeyNames) const {
    OpenContext context = makeFileFacts(file, activeHotkeyNames);
    context.runningEnabledBundleIDs = runningEnabledBundleIDs(route);
    return context;
}

QSet<QString> OpenContextBuilder::runningEnabledBundleIDs(const Route& route) const {
    const QSet<QString> running = m_running.runningBundleIDs();
    QSet<QString> runningEnabled;
    for (const Editor& editor : route.enabledEditors()) {
        if (running.contains(editor.bundleID))
            runningEnabled.insert(editor.bundleID);
    }
    return runningEnabled;
}

OpenContext
OpenContextBuilder::makeFileFacts(const QUrl& file,
                                  const std::optional<QSet<QString>>& activeHotkeyNames) const {
    const QString path = urlPath(file);

    OpenContext context;
    context.url = file;
    context.fileName = pathBaseName(path);
    context.fileExtension = pathExtension(path);
    context.parentPath = RuleEvaluator::standardizedPath(parentOf(path));
    context.activeHotkeyNames = activeHotkeyNames;
    const std::optional<QString> creator = m_metadata.creatorName(file);
    if (creator && !creator->isEmpty())
        context.creatorName = creator;
    return context;
}
