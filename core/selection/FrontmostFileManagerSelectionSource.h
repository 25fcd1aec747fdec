#pragma once

#include "core/selection/FinderSelectionSource.h"
#include "core/selection/ScriptableFileManager.h"

#include <functional>
#include <optional>

// Asks the frontmost application for its selection when it is one of
// `managers`. With a `fallback` manager, that one is asked whenever the
// frontmost one is not a known manager or had nothing selected (unless it is
// the fallback itself); without one, those cases give nothing.
class FrontmostFileManagerSelectionSource : public FinderSelectionSource {
public:
    using FrontmostBundleID = std::function<std::optional<QString>()>;
    using Run = std::function<QList<QUrl>(const ScriptableFileManager&)>;

    FrontmostFileManagerSelectionSource(QList<ScriptableFileManager> managers,
                                        FrontmostBundleID frontmostBundleID, Run run,
                                        std::optional<ScriptableFileManager> fallback);
    QList<QUrl> fileURLs() const override;

    QList<ScriptableFileManager> managers;
    FrontmostBundleID frontmostBundleID;
    Run run;
    std::optional<ScriptableFileManager> fallback;
};
