#include "core/routing/BeepNotifier.h"

#include "core/platform/Alerts.h"
#include "core/platform/DesktopNotifications.h"
#include "core/platform/Preferences.h"
#include "core/selection/ScriptableFileManager.h"

#include <QElapsedTimer>

BeepNotifier::BeepNotifier(Alerts& alerts, Preferences& preferences, Clock clock)
    : m_alerts(alerts)
    , m_preferences(preferences)
    , m_clock(clock ? std::move(clock) : Clock([] {
        static QElapsedTimer timer = [] {
            QElapsedTimer started;
            started.start();
            return started;
        }();
        return timer.elapsed();
    })) {}

void BeepNotifier::beep(const QString& reason) {
    m_alerts.beep();
    if (!m_notifications ||
        !m_preferences.boolean(PreferenceKeys::notifiesWhenBeeping).value_or(true))
        return;
    const qint64 now = m_clock();
    const auto last = m_lastShown.constFind(reason);
    if (last != m_lastShown.cend() && now - *last < quietMilliseconds)
        return;
    // Without a service nothing was shown: the next beep may try again.
    if (m_notifications->notify(QStringLiteral("Corvanta"), reason))
        m_lastShown.insert(reason, now);
}

QString BeepNotifier::nothingSelectedReason(const std::optional<QString>& frontmostBundleID) {
    if (!frontmostBundleID)
        return QStringLiteral("No file manager window is in front.");
    for (const ScriptableFileManager& manager : ScriptableFileManager::builtins()) {
        if (manager.matches(*frontmostBundleID))
            return QStringLiteral("No files are selected in %1.").arg(manager.name);
    }
    return QStringLiteral("The window in front is not a file manager.");
}
