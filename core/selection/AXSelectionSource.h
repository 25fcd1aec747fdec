#pragma once

#include "core/selection/AccessibilitySelectionSource.h"

class AccessibilitySelection;

// The accessibility tree of the frontmost application, through the port.
class AXSelectionSource : public AccessibilitySelectionSource {
public:
    // `port` outlives this source.
    explicit AXSelectionSource(const AccessibilitySelection& port)
        : m_port(&port) {}
    bool isTrusted() const override;
    QList<QUrl> fileURLs() const override;

private:
    const AccessibilitySelection* m_port;
};
