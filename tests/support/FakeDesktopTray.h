#pragma once

#include "core/platform/DesktopTray.h"

// A tray whose presence, icon drags and settings the test decides.
class FakeDesktopTray : public DesktopTray {
public:
    bool available = true;
    bool settings = true;
    int settingsOpened = 0;
    std::function<void(bool)> availabilityChanged;

    bool isAvailable() const override { return available; }
    void watchAvailability(std::function<void(bool)> changed) override {
        availabilityChanged = std::move(changed);
    }
    void watchDragsOverIcon(std::function<std::optional<QRect>()>,
                            std::function<void(bool)>) override {}
    bool hasTraySettings() const override { return settings; }
    bool openTraySettings() override {
        ++settingsOpened;
        return settings;
    }
    // The desktop's tray comes or goes.
    void setAvailable(bool now) {
        available = now;
        if (availabilityChanged)
            availabilityChanged(now);
    }
};
