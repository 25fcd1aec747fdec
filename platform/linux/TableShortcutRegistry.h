#pragma once

#include "core/platform/ShortcutRegistry.h"
#include "platform/linux/ShortcutTable.h"

// What the X11 and the portal registries share: the stored table, the global
// switch and how a combination is shown.
class TableShortcutRegistry : public ShortcutRegistry {
public:
    ShortcutTable& table() { return m_table; }

    std::optional<Shortcut> getShortcut(const QString& name) const override {
        return m_table.get(name);
    }
    std::optional<QString> lastSaveError() const override { return m_table.lastWriteError(); }
    bool isEnabled() const override { return m_enabled; }
    QString displayText(const Shortcut& shortcut) const override;

protected:
    // The table at `tablePath`, or at its default location.
    explicit TableShortcutRegistry(const std::optional<QString>& tablePath);

    ShortcutTable m_table;
    bool m_enabled = true;
};
