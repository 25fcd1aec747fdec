#pragma once

#include "core/platform/ShortcutRegistry.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Shortcuts in memory, and a desktop whose key presses a test makes: `press`
// runs the handlers an X server would, given the stored combinations, the
// global switch and the combinations other programs hold.
class FakeShortcutRegistry : public ShortcutRegistry {
public:
    QHash<QString, Shortcut> shortcuts;
    QHash<QString, Handler> handlers;
    // Combinations another program holds.
    QList<Shortcut> heldByOthers;
    // Keys this keyboard does not have, and the keys a recorder takes for some
    // key codes instead (another group's).
    QList<Qt::Key> missingKeys;
    QHash<quint32, Qt::Key> keysOnScanCodes;
    bool enabled = true;
    // Names the desktop has not bound, and whether the session has global keys.
    QStringList unboundByDesktop;
    bool offersGlobalKeys = true;
    // A desktop that has each binding confirmed.
    bool confirmsBindings = false;
    // Set: every change of the table is kept in memory only.
    std::optional<QString> saveError;
    // Every onKeyDown and removeHandler, in order ("+name", "-name").
    QStringList registrations;

    // Presses `shortcut`: runs the handler of every name holding it; how many ran.
    int press(const Shortcut& shortcut);
    // Tells the observers, after a test changed the desktop above.
    void desktopChanged() { grabStatesChanged(); }

    std::optional<Shortcut> getShortcut(const QString& name) const override;
    ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut, const QString& name) override;
    ShortcutGrab onKeyDown(const QString& name, Handler action) override;
    void removeHandler(const QString& name) override;
    ShortcutGrab grabState(const QString& name) const override;
    std::optional<QString> lastSaveError() const override { return saveError; }
    bool isEnabled() const override { return enabled; }
    void setEnabled(bool on) override { enabled = on; }
    bool isHeldByAnotherProgram(const Shortcut& shortcut) override {
        return heldByOthers.contains(shortcut);
    }
    bool canRepresent(const Shortcut& shortcut) const override {
        return !missingKeys.contains(shortcut.key);
    }
    std::optional<Qt::Key> keyOnScanCode(quint32 code) const override {
        const auto it = keysOnScanCodes.constFind(code);
        return it == keysOnScanCodes.constEnd() ? std::nullopt : std::optional(*it);
    }
    QString displayText(const Shortcut& shortcut) const override;
    bool desktopConfirmsBindings() const override { return confirmsBindings; }
    // What the desktop would list for each name.
    QHash<QString, QString> descriptions;
    void setDescription(const QString& name, const QString& description) override {
        descriptions.insert(name, description);
    }
};
