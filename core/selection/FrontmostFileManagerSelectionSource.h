#pragma once

#include "core/selection/FinderSelectionSource.h"
#include "core/selection/ScriptableFileManager.h"

#include <functional>
#include <optional>

// Asks the frontmost application for its selection when it is one of
// `managers`; any other frontmost program gives nothing.
class FrontmostFileManagerSelectionSource : public FinderSelectionSource {
public:
    using FrontmostBundleID = std::function<std::optional<QString>()>;
    using Run = std::function<QList<QUrl>(const ScriptableFileManager&)>;

    FrontmostFileManagerSelectionSource(QList<ScriptableFileManager> managers,
                                        FrontmostBundleID frontmostBundleID, Run run);
    QList<QUrl> fileURLs() const override;

    QList<ScriptableFileManager> managers;
    FrontmostBundleID frontmostBundleID;
    Run run;
};
