#pragma once

#include <QString>

// The desktop's clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents with `text` as plain text; false when
    // the clipboard did not take it.
    virtual bool setText(const QString& text) = 0;
};
