#include "core/selection/FileSelectionResolver.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/FileManagerSelection.h"
#include "core/platform/FrontmostApplication.h"
#include "core/selection/AXSelectionSource.h"
#include "core/selection/DisabledAccessibilitySelectionSource.h"
#include "core/selection/FrontmostFileManagerSelectionSource.h"
#include "core/selection/ScriptableFileManager.h"

#include <QSet>
#include <sys/stat.h>

namespace {
bool isRegularFile(const QByteArray& path) {
    if (path.isEmpty() || path.contains('\0'))
        return false;
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}
} // namespace

FileSelectionResolver::FileSelectionResolver(
    std::shared_ptr<const AccessibilitySelectionSource> accessibility,
    std::shared_ptr<const FinderSelectionSource> finder)
    : accessibility(std::move(accessibility))
    , finder(std::move(finder)) {}

QList<QUrl> FileSelectionResolver::selectedFileURLs(Answer* answeredBy) const {
    if (answeredBy)
        *answeredBy = Answer::none;
    if (accessibility && accessibility->isTrusted()) {
        QList<QUrl> urls = cleaned(accessibility->fileURLs());
        if (!urls.isEmpty()) {
            if (answeredBy)
                *answeredBy = Answer::accessibility;
            return urls;
        }
    }
    if (!finder)
        return {};
    QList<QUrl> urls = cleaned(finder->fileURLs());
    if (answeredBy && !urls.isEmpty())
        *answeredBy = Answer::finder;
    return urls;
}

QList<QUrl> FileSelectionResolver::cleaned(const QList<QUrl>& candidates) {
    QList<QUrl> kept;
    QSet<QByteArray> seen;
    for (const QUrl& url : candidates) {
        const QByteArray path = LocalFileURL::nativePath(url);
        if (!isRegularFile(path))
            continue;
        const std::optional<QByteArray> standard = standardizedPath(path);
        // Text-only ".." can land elsewhere than the file system's (a link
        // before it); only a path that names a regular file itself is kept.
        if (!standard || (*standard != path && !isRegularFile(*standard)))
            continue;
        if (seen.contains(*standard))
            continue;
        seen.insert(*standard);
        kept.append(LocalFileURL::fromNativePath(*standard));
    }
    return kept;
}

std::optional<QByteArray> FileSelectionResolver::standardizedPath(const QByteArray& path) {
    if (!path.startsWith('/'))
        return std::nullopt;
    QList<QByteArray> segments;
    for (const QByteArray& segment : path.split('/')) {
        if (segment.isEmpty() || segment == ".")
            continue;
        if (segment == "..") {
            // Above the root is the root.
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return QByteArrayLiteral("/") + segments.join('/');
}

FileSelectionResolver FileSelectionResolver::make(const Ports& ports,
                                                  bool allowsAccessibilitySelection,
                                                  bool usesApplicationScriptsSelection,
                                                  ScriptRun scriptRun) {
    std::shared_ptr<const AccessibilitySelectionSource> accessibility;
    if (allowsAccessibilitySelection)
        accessibility = std::make_shared<AXSelectionSource>(ports.accessibility);
    else
        accessibility = std::make_shared<DisabledAccessibilitySelectionSource>();

    FrontmostFileManagerSelectionSource::Run run;
    if (usesApplicationScriptsSelection) {
        // Until a helper runner is installed, script mode finds nothing.
        run = scriptRun ? std::move(scriptRun)
                        : [](const ScriptableFileManager&) { return QList<QUrl>(); };
    } else {
        FileManagerSelection* fileManager = &ports.fileManager;
        run = [fileManager](const ScriptableFileManager& manager) {
            return fileManager->copySelection(manager);
        };
    }
    const FrontmostApplication* frontmost = &ports.frontmost;
    auto finder = std::make_shared<FrontmostFileManagerSelectionSource>(
        ScriptableFileManager::builtins(), [frontmost] { return frontmost->frontmostBundleID(); },
        std::move(run));
    return FileSelectionResolver(std::move(accessibility), std::move(finder));
}
