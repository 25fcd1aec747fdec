#include "core/hotkeys/HotkeyStateWatch.h"

#include <QTimer>

HotkeyStateWatch::HotkeyStateWatch(ShortcutRegistry& registry, QObject* parent)
    : QObject(parent)
    , m_registry(registry) {
    m_observer = m_registry.addGrabStateObserver([this] {
        // A sync changes many names one by one: what shows them is refreshed once.
        if (m_posted)
            return;
        m_posted = true;
        QTimer::singleShot(0, this, [this] {
            m_posted = false;
            Q_EMIT statesChanged();
        });
    });
}

HotkeyStateWatch::~HotkeyStateWatch() {
    m_registry.removeGrabStateObserver(m_observer);
}

std::optional<QString> HotkeyStateWatch::inactiveReason(ShortcutGrab state) {
    switch (state) {
    case ShortcutGrab::active:
    case ShortcutGrab::paused:
    case ShortcutGrab::notRegistered:
        return std::nullopt;
    case ShortcutGrab::heldByAnotherProgram:
        return QStringLiteral("Hotkey inactive: another program uses it");
    case ShortcutGrab::notBoundByDesktop:
        return QStringLiteral("Hotkey inactive: not bound by the desktop");
    case ShortcutGrab::notOnKeyboard:
        return QStringLiteral("Hotkey inactive: no such key in this keyboard layout");
    case ShortcutGrab::unavailable:
        return QStringLiteral("Hotkey inactive: this session offers no global hotkeys");
    }
    return std::nullopt;
}

std::optional<QString> HotkeyStateWatch::inactiveReason(const QStringList& names) const {
    for (const QString& name : names) {
        if (const std::optional<QString> reason = inactiveReason(m_registry.grabState(name)))
            return reason;
    }
    return std::nullopt;
}
