#pragma once

#include "core/settings/RuleHotkeyAccess.h"

class ShortcutRegistry;

// Rule hotkeys over a registry that can only be read: the rule editor shows
// the stored shortcut, and there is nothing to record or put back.
class StoredShortcutHotkeys : public RuleHotkeyAccess {
public:
    explicit StoredShortcutHotkeys(const ShortcutRegistry& registry);

    std::optional<QString> shortcut(const QString& name) const override;
    void setShortcut(const QString& name, const std::optional<QString>& shortcut) override;
    QWidget* makeRecorder(const QString& name, QWidget* parent) override;
    void stopRecording(QWidget* recorder) override;

private:
    const ShortcutRegistry& m_registry;
};
