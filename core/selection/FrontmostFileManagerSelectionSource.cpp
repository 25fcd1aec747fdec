#include "core/selection/FrontmostFileManagerSelectionSource.h"

FrontmostFileManagerSelectionSource::FrontmostFileManagerSelectionSource(
    QList<ScriptableFileManager> managers, FrontmostBundleID frontmostBundleID, Run run,
    std::optional<ScriptableFileManager> fallback)
    : managers(std::move(managers))
    , frontmostBundleID(std::move(frontmostBundleID))
    , run(std::move(run))
    , fallback(std::move(fallback)) {}

QList<QUrl> FrontmostFileManagerSelectionSource::fileURLs() const {
    if (!run)
        return {};
    const std::optional<QString> frontmost =
        frontmostBundleID ? frontmostBundleID() : std::optional<QString>();
    if (frontmost) {
        for (const ScriptableFileManager& manager : managers) {
            if (!manager.matches(*frontmost))
                continue;
            QList<QUrl> urls = run(manager);
            if (!urls.isEmpty())
                return urls;
            // The fallback itself had nothing: asking it again would not help.
            if (fallback &&
                ScriptableFileManager::matches(fallback->bundleIDs.value(0), manager.bundleIDs))
                return {};
            break;
        }
    }
    // Keys only ever go to a known manager's focused window, so any other
    // frontmost program is never sent one.
    if (!fallback)
        return {};
    return run(*fallback);
}
