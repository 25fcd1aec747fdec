#pragma once

#include "core/platform/ScreenReader.h"

// Whether a screen reader runs, from the ScreenReaderEnabled property that the
// accessibility bus launcher publishes (org.a11y.Status on the session bus).
// False when no launcher answers within a short time.
class AtspiScreenReader : public ScreenReader {
public:
    explicit AtspiScreenReader(int timeoutMs = 300);
    bool isScreenReaderEnabled() const override;

private:
    int m_timeoutMs;
};
