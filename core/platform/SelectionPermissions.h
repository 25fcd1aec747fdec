#pragma once

#include "core/platform/AutomationStatus.h"

// What the desktop lets Corvanta do to read another program's selection.
class SelectionPermissions {
public:
    virtual ~SelectionPermissions() = default;
    // Whether the accessibility source can read here: the accessibility bus
    // answers.
    virtual bool isAccessibilityEnabled() const = 0;
    // Switches assistive technologies on for the session, as a desktop's
    // accessibility setting does, where the bus answers; false otherwise.
    virtual bool enableAccessibility() = 0;
    // Whether keys can be sent to the focused window and the clipboard watched
    // here: granted where both work, unavailable where the window system has
    // no way (no X11, or Wayland clients).
    virtual AutomationStatus automationStatus() const = 0;
};
