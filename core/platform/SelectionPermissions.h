#pragma once

#include "core/platform/AutomationStatus.h"

// What the desktop lets Corvanta do to read another program's selection.
class SelectionPermissions {
public:
    virtual ~SelectionPermissions() = default;
    // Whether assistive technologies are switched on for the session (the
    // accessibility bus's IsEnabled); false when no accessibility bus answers.
    virtual bool isAccessibilityEnabled() const = 0;
    // Switches them on, as a desktop's accessibility setting does; false when
    // the accessibility bus did not take it.
    virtual bool enableAccessibility() = 0;
    // Whether keys can be sent to the focused window and the clipboard watched
    // here: granted where both work, unavailable where the window system has
    // no way (no X11, or Wayland clients).
    virtual AutomationStatus automationStatus() const = 0;
};
