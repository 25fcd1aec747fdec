#pragma once

#include <QList>
#include <QUrl>

// The resolver's first source: the focused element's selected items.
class AccessibilitySelectionSource {
public:
    virtual ~AccessibilitySelectionSource() = default;
    // Whether it may be read now; when false it is not asked at all.
    virtual bool isTrusted() const = 0;
    // Candidate URLs, possibly empty, not yet cleaned.
    virtual QList<QUrl> fileURLs() const = 0;
};
