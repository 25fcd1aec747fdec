#pragma once

#include "core/selection/AccessibilitySelectionSource.h"
#include "core/selection/FinderSelectionSource.h"
#include "core/selection/ScriptableFileManager.h"

#include <QByteArray>
#include <QList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class AccessibilitySelection;
class FileManagerSelection;
class FrontmostApplication;

// Where a rule hotkey's files come from.
class SelectedFilesSource {
public:
    virtual ~SelectedFilesSource() = default;
    // The files selected now, in order; none when nothing usable is selected.
    virtual QList<QUrl> selectedFileURLs() const = 0;
};

// The regular files selected in the frontmost file manager, in order and
// without duplicates. Every failure gives an empty list. A copyable value: the
// sources it holds are immutable and shared.
class FileSelectionResolver : public SelectedFilesSource {
public:
    // Which of the two sources answered a resolution.
    enum class Answer { none, accessibility, finder };

    FileSelectionResolver(std::shared_ptr<const AccessibilitySelectionSource> accessibility,
                          std::shared_ptr<const FinderSelectionSource> finder);

    // The accessibility source when it is trusted and gives a file, else the
    // file-manager source. Blocks while the sources run.
    QList<QUrl> selectedFileURLs(Answer* answeredBy) const;
    QList<QUrl> selectedFileURLs() const override { return selectedFileURLs(nullptr); }

    // Keeps the URLs that name existing regular files, as their standardised
    // form, each path once at its first position.
    static QList<QUrl> cleaned(const QList<QUrl>& candidates);
    // `path` with "." and ".." segments and repeated slashes resolved by text
    // alone (symbolic links are not looked at); none for a relative path.
    static std::optional<QByteArray> standardizedPath(const QByteArray& path);

    // The script mode's run: given a manager, its helper's selection.
    using ScriptRun = std::function<QList<QUrl>(const ScriptableFileManager&)>;
    struct Ports {
        const FrontmostApplication& frontmost;
        const AccessibilitySelection& accessibility;
        FileManagerSelection& fileManager;
    };
    // The resolver the application uses: the accessibility source when
    // allowed, then the built-in file managers asked by copying their
    // selection, or by their helper programs through `scriptRun` in script
    // mode. The ports outlive the resolver.
    static FileSelectionResolver make(const Ports& ports, bool allowsAccessibilitySelection,
                                      bool usesApplicationScriptsSelection,
                                      ScriptRun scriptRun = {});

    std::shared_ptr<const AccessibilitySelectionSource> accessibility;
    std::shared_ptr<const FinderSelectionSource> finder;
};
