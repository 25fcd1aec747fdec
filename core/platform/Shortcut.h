#pragma once

#include <Qt>

// One global key combination: a key with modifier flags. Equal when both are.
struct Shortcut {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;

    friend bool operator==(const Shortcut& a, const Shortcut& b) {
        return a.key == b.key && a.modifiers == b.modifiers;
    }
};
