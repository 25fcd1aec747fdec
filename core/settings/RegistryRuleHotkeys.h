#pragma once

#include "core/settings/RuleHotkeyAccess.h"

class HotkeyRecordingPeriod;
class ShortcutRegistry;

// Rule hotkeys in the global shortcut registry, recorded with HotkeyRecorderView.
class RegistryRuleHotkeys : public RuleHotkeyAccess {
public:
    RegistryRuleHotkeys(ShortcutRegistry& registry, HotkeyRecordingPeriod& period);

    std::optional<Shortcut> shortcut(const QString& name) const override;
    void setShortcut(const QString& name, const std::optional<Shortcut>& shortcut) override;
    QWidget* makeRecorder(const QString& name, QWidget* parent) override;
    void stopRecording(QWidget* recorder) override;

private:
    ShortcutRegistry& m_registry;
    HotkeyRecordingPeriod& m_period;
};
