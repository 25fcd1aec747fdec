#include "platform/linux/AtspiScreenReader.h"

#include "platform/linux/SessionBusCall.h"

AtspiScreenReader::AtspiScreenReader(int timeoutMs)
    : m_timeoutMs(timeoutMs) {}

bool AtspiScreenReader::isScreenReaderEnabled() const {
    // A screen reader needs the launcher running; asking does not start one.
    return SessionBusCall::booleanProperty("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Status",
                                           "ScreenReaderEnabled", m_timeoutMs);
}
