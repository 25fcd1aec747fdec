#include "core/hotkeys/HotkeyRecordingPeriod.h"

#include "core/platform/ShortcutModifiers.h"
#include "core/platform/ShortcutRegistry.h"

HotkeyRecordingPeriod::HotkeyRecordingPeriod(ShortcutRegistry& registry,
                                             ModifierQuery heldModifiers, QObject* parent)
    : QObject(parent)
    , m_registry(registry)
    , m_heldModifiers(std::move(heldModifiers)) {
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    m_fallback.setInterval(fallbackMilliseconds);
    connect(&m_fallback, &QTimer::timeout, this, [this] {
        if (m_active)
            finish();
    });
    // Key releases outside this program are never seen as events; the held
    // modifiers are looked at instead.
    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &HotkeyRecordingPeriod::modifiersChanged);
}

bool HotkeyRecordingPeriod::modifiersHeld() const {
    return m_heldModifiers && (m_heldModifiers() & ShortcutModifiers::all);
}

void HotkeyRecordingPeriod::begin() {
    m_fallback.stop();
    m_poll.stop();
    m_waiting = false;
    m_active = true;
    m_recording = true;
    m_registry.setEnabled(false);
    m_registry.postRecorderActiveStatusDidChange(
        {{QLatin1String(ShortcutRegistry::isActiveKey), true}});
}

void HotkeyRecordingPeriod::end() {
    m_poll.stop();
    m_waiting = false;
    m_recording = false;
    if (!m_active)
        return;
    if (!modifiersHeld()) {
        finish();
        return;
    }
    m_waiting = true;
    m_poll.start();
    m_fallback.start();
}

void HotkeyRecordingPeriod::modifiersChanged() {
    if (m_active && m_waiting && !modifiersHeld())
        finish();
}

void HotkeyRecordingPeriod::endOnRequest() {
    if (m_active)
        finish();
    else
        m_registry.setEnabled(true);
}

void HotkeyRecordingPeriod::resume() {
    if (m_recording && !m_active)
        begin();
}

void HotkeyRecordingPeriod::finish() {
    m_fallback.stop();
    m_poll.stop();
    m_waiting = false;
    m_active = false;
    m_registry.setEnabled(true);
    m_registry.postRecorderActiveStatusDidChange(
        {{QLatin1String(ShortcutRegistry::isActiveKey), false}});
}
