#include "core/selection/FrontmostFileManagerSelectionSource.h"

FrontmostFileManagerSelectionSource::FrontmostFileManagerSelectionSource(
    QList<ScriptableFileManager> managers, FrontmostBundleID frontmostBundleID, Run run)
    : managers(std::move(managers))
    , frontmostBundleID(std::move(frontmostBundleID))
    , run(std::move(run)) {}

QList<QUrl> FrontmostFileManagerSelectionSource::fileURLs() const {
    const std::optional<QString> frontmost =
        frontmostBundleID ? frontmostBundleID() : std::optional<QString>();
    if (!run || !frontmost)
        return {};
    // Keys only ever go to a known manager's focused window, so any other
    // frontmost program is never sent one.
    for (const ScriptableFileManager& manager : managers) {
        if (manager.matches(*frontmost))
            return run(manager);
    }
    return {};
}
