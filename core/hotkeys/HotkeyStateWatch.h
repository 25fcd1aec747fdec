#pragma once

#include "core/platform/ShortcutRegistry.h"

#include <QObject>
#include <QStringList>
#include <optional>

// Follows the registry's grab states for what shows them (the rules list, a
// recorder): tells why a hotkey does nothing now, and says once per turn of the
// event loop that the states may have changed.
class HotkeyStateWatch : public QObject {
    Q_OBJECT
public:
    explicit HotkeyStateWatch(ShortcutRegistry& registry, QObject* parent = nullptr);
    ~HotkeyStateWatch() override;

    // Why a grab in `state` does nothing, in the user's words; none while it works,
    // waits only for a recording to end, or nothing is wanted (no handler or keys).
    static std::optional<QString> inactiveReason(ShortcutGrab state);
    // The first such reason among `names` (the hotkeys of one rule).
    std::optional<QString> inactiveReason(const QStringList& names) const;

Q_SIGNALS:
    void statesChanged();

private:
    ShortcutRegistry& m_registry;
    int m_observer = 0;
    bool m_posted = false;
};
