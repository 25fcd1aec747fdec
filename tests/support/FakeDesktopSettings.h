#pragma once

#include "core/platform/DesktopSettings.h"

// A desktop whose accessibility panel the test decides; counts the openings.
class FakeDesktopSettings : public DesktopSettings {
public:
    bool accessibilityPanel = true;
    int accessibilityOpened = 0;

    bool canOpenAccessibilitySettings() const override { return accessibilityPanel; }
    bool openAccessibilitySettings() override {
        ++accessibilityOpened;
        return accessibilityPanel;
    }
};
