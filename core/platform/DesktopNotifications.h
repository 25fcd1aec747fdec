#pragma once

#include <QString>

// The desktop's notification bubbles, where a beep alone may go unheard.
class DesktopNotifications {
public:
    virtual ~DesktopNotifications() = default;
    // Shows `body` under `summary`; false when the desktop has no notification service.
    virtual bool notify(const QString& summary, const QString& body) = 0;
};
