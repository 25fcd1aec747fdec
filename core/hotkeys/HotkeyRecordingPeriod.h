#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class ShortcutRegistry;

// The recording state every hotkey recorder shares: while a recorder captures keys,
// and until the user has let go of the modifiers afterwards (at the latest
// `fallbackMilliseconds` later), global hotkeys are switched off, so recording a
// combination a rule already uses never fires that rule.
class HotkeyRecordingPeriod : public QObject {
    Q_OBJECT
public:
    using ModifierQuery = std::function<Qt::KeyboardModifiers()>;
    static constexpr int fallbackMilliseconds = 500;
    // How often held modifiers are looked at while waiting for their release.
    static constexpr int pollMilliseconds = 20;

    // `heldModifiers` tells which modifier keys are down now, anywhere on the desktop.
    HotkeyRecordingPeriod(ShortcutRegistry& registry, ModifierQuery heldModifiers,
                          QObject* parent = nullptr);

    ShortcutRegistry& registry() const { return m_registry; }
    bool isActive() const { return m_active; }

    // A recorder starts capturing: hotkeys off, recorders told.
    void begin();
    // A recorder stopped: ends the period once no modifier is held.
    void end();
    // A key was released or a modifier changed: finishes a waiting period when
    // nothing is held any more.
    void modifiersChanged();
    // Ends the period at once (the application lost focus, the settings window
    // closed). Without an active period it only switches hotkeys back on.
    void endOnRequest();
    // Corvanta is active again: a recorder still recording gets its period back,
    // so a press meant for it fires no rule.
    void resume();

private:
    void finish();
    bool modifiersHeld() const;

    ShortcutRegistry& m_registry;
    ModifierQuery m_heldModifiers;
    QTimer m_fallback;
    QTimer m_poll;
    bool m_active = false;
    bool m_waiting = false;
    // Between a recorder's begin and end, even while the period was ended on request.
    bool m_recording = false;
};
