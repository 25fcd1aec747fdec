#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

class Alerts;
class DesktopNotifications;
class Preferences;

// A beep for something the user asked that could not be done.
class Beeper {
public:
    virtual ~Beeper() = default;
    // `reason` in plain words, for those who cannot hear the beep.
    virtual void beep(const QString& reason) = 0;
};

// A beep that also says why in a desktop notification (many Linux desktops play
// no sound): at most one notification per reason every few seconds, none while
// the general tab's switch is off or without a notification service.
class BeepNotifier : public Beeper {
public:
    static constexpr qint64 quietMilliseconds = 5000;
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    BeepNotifier(Alerts& alerts, Preferences& preferences, Clock clock = {});
    void setNotifications(DesktopNotifications* notifications) { m_notifications = notifications; }
    void beep(const QString& reason) override;

    // Why a rule hotkey found no files, in plain words, given the application in front.
    static QString nothingSelectedReason(const std::optional<QString>& frontmostBundleID);

private:
    Alerts& m_alerts;
    Preferences& m_preferences;
    Clock m_clock;
    DesktopNotifications* m_notifications = nullptr;
    QHash<QString, qint64> m_lastShown;
};
