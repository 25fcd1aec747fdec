#pragma once

#include "core/platform/SelectionPermissions.h"

// Accessibility from the accessibility bus launcher's org.a11y.Status;
// Automation from the window system: an X server with XTEST (to send the copy
// keys) and XFIXES (to see the clipboard change hands).
class LinuxSelectionPermissions : public SelectionPermissions {
public:
    explicit LinuxSelectionPermissions(int timeoutMs = 300);
    bool isAccessibilityEnabled() const override;
    bool enableAccessibility() override;
    AutomationStatus automationStatus() const override;

private:
    int m_timeoutMs;
};
