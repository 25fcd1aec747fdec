#include "core/settings/RegistryRuleHotkeys.h"

#include "core/hotkeys/HotkeyRecorderView.h"
#include "core/platform/ShortcutRegistry.h"

RegistryRuleHotkeys::RegistryRuleHotkeys(ShortcutRegistry& registry, HotkeyRecordingPeriod& period)
    : m_registry(registry)
    , m_period(period) {}

std::optional<Shortcut> RegistryRuleHotkeys::shortcut(const QString& name) const {
    return m_registry.getShortcut(name);
}

void RegistryRuleHotkeys::setShortcut(const QString& name,
                                      const std::optional<Shortcut>& shortcut) {
    m_registry.setShortcut(shortcut, name);
}

QWidget* RegistryRuleHotkeys::makeRecorder(const QString& name, QWidget* parent) {
    return new HotkeyRecorderView(m_registry, m_period, name, parent);
}

void RegistryRuleHotkeys::stopRecording(QWidget* recorder) {
    if (auto* view = qobject_cast<HotkeyRecorderView*>(recorder))
        view->stopRecording();
}
