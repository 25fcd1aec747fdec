#pragma once

#include "core/platform/ShortcutModifiers.h"
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
    int press(const Shortcut& shortcut) {
        // A desktop that binds the keys itself hands a recording recorder the keys.
        if (heldByOthers.contains(shortcut) || (confirmsBindings && feedRecorder(shortcut)) ||
            !enabled)
            return 0;
        QList<Handler> matching;
        for (auto it = handlers.cbegin(); it != handlers.cend(); ++it) {
            if (getShortcut(it.key()) == shortcut)
                matching.append(it.value());
        }
        for (const Handler& handler : matching)
            handler();
        return int(matching.size());
    }
    // Tells the observers, after a test changed the desktop above.
    void desktopChanged() { grabStatesChanged(); }

    std::optional<Shortcut> getShortcut(const QString& name) const override {
        return shortcuts.contains(name) ? std::optional(shortcuts.value(name)) : std::nullopt;
    }
    ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut,
                             const QString& name) override {
        if (shortcut)
            shortcuts.insert(name, *shortcut);
        else
            shortcuts.remove(name);
        return grabState(name);
    }
    ShortcutGrab onKeyDown(const QString& name, Handler action) override {
        registrations.append('+' + name);
        handlers.insert(name, std::move(action));
        return grabState(name);
    }
    void removeHandler(const QString& name) override {
        registrations.append('-' + name);
        handlers.remove(name);
    }
    ShortcutGrab grabState(const QString& name) const override {
        const auto shortcut = getShortcut(name);
        if (!handlers.contains(name) || !shortcut)
            return ShortcutGrab::notRegistered;
        if (!offersGlobalKeys)
            return ShortcutGrab::unavailable;
        if (missingKeys.contains(shortcut->key))
            return ShortcutGrab::notOnKeyboard;
        if (!enabled)
            return ShortcutGrab::paused;
        if (heldByOthers.contains(*shortcut))
            return ShortcutGrab::heldByAnotherProgram;
        return unboundByDesktop.contains(name) ? ShortcutGrab::notBoundByDesktop
                                               : ShortcutGrab::active;
    }
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
    QString displayText(const Shortcut& shortcut) const override {
        QString key = QStringLiteral("0x%1").arg(int(shortcut.key), 0, 16);
        if (shortcut.key >= Qt::Key_F1 && shortcut.key <= Qt::Key_F35)
            key = QStringLiteral("F%1").arg(shortcut.key - Qt::Key_F1 + 1);
        else if (shortcut.key >= Qt::Key_Space && shortcut.key <= Qt::Key_AsciiTilde)
            key = QChar(shortcut.key);
        return ShortcutModifiers::displayPrefix(shortcut.modifiers) + key;
    }
    bool desktopConfirmsBindings() const override { return confirmsBindings; }
    // What the desktop would list for each name.
    QHash<QString, QString> descriptions;
    void setDescription(const QString& name, const QString& description) override {
        descriptions.insert(name, description);
    }
};
