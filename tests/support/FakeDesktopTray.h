#pragma once

#include "core/platform/DesktopTray.h"

// A tray whose presence, icon drags and settings the test decides.
class FakeDesktopTray : public DesktopTray {
public:
    bool available = true;
    bool settings = true;
    int settingsOpened = 0;
    std::function<void(bool)> availabilityChanged;
    std::function<std::optional<QRect>()> iconGeometry;
    std::function<void(bool)> over;

    bool isAvailable() const override { return available; }
    void watchAvailability(std::function<void(bool)> changed) override {
        availabilityChanged = std::move(changed);
    }
    void watchDragsOverIcon(std::function<std::optional<QRect>()> geometry,
                            std::function<void(bool)> overIcon) override {
        iconGeometry = std::move(geometry);
        over = std::move(overIcon);
    }
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
