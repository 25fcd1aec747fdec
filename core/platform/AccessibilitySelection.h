#pragma once

#include <QList>
#include <QUrl>

// The selected items of the frontmost application as its accessibility tree
// shows them.
class AccessibilitySelection {
public:
    virtual ~AccessibilitySelection() = default;
    // Whether the tree can be read now (no prompt is shown).
    virtual bool isTrusted() const = 0;
    // The file URLs of the focused element's selected items, unfiltered; empty
    // when nothing gives one.
    virtual QList<QUrl> selectedFileURLs() const = 0;
};
