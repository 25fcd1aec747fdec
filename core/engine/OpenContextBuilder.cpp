#include "core/engine/OpenContextBuilder.h"

#include "core/engine/RuleEvaluator.h"
#include "core/platform/FileMetadata.h"
#include "core/platform/RunningApplications.h"

namespace {
QString localPath(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
}

// Position of the dot that starts the extension of `name`, or -1. A leading dot
// (".profile") and a trailing dot ("notes.") start no extension.
qsizetype extensionDot(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return -1;
    return dot;
}

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
    const QSet<QString> running = m_running.runningBundleIDs();
    QSet<QString> runningEnabled;
    for (const Editor& editor : route.enabledEditors()) {
        if (running.contains(editor.bundleID))
            runningEnabled.insert(editor.bundleID);
    }

    const QString path = localPath(file);
    QString lastComponent = path;
    while (lastComponent.size() > 1 && lastComponent.endsWith(QLatin1Char('/')))
        lastComponent.chop(1);
    lastComponent = lastComponent.mid(lastComponent.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = extensionDot(lastComponent);

    OpenContext context;
    context.url = file;
    context.fileName = dot < 0 ? lastComponent : lastComponent.left(dot);
    context.fileExtension = dot < 0 ? QString() : lastComponent.mid(dot + 1).toLower();
    context.parentPath = RuleEvaluator::standardizedPath(parentOf(path));
    context.activeHotkeyNames = activeHotkeyNames;
    context.runningEnabledBundleIDs = runningEnabled;
    const std::optional<QString> creator = m_metadata.creatorName(path);
    if (creator && !creator->isEmpty())
        context.creatorName = creator;
    return context;
}
