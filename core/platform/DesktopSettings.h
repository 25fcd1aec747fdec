#pragma once

// The desktop's own settings panels Corvanta points the user to.
class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;

    // Whether this desktop has an accessibility panel, and opening it; false
    // when there is none or it could not be started.
    virtual bool canOpenAccessibilitySettings() const = 0;
    virtual bool openAccessibilitySettings() = 0;
};
