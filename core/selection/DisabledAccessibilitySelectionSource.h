#pragma once

#include "core/selection/AccessibilitySelectionSource.h"

// Stands in when the user turned the accessibility source off.
class DisabledAccessibilitySelectionSource : public AccessibilitySelectionSource {
public:
    bool isTrusted() const override { return false; }
    QList<QUrl> fileURLs() const override { return {}; }
};
