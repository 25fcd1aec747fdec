#include "tests/support/FakeShortcutRegistry.h"

#include "core/platform/ShortcutModifiers.h"

int FakeShortcutRegistry::press(const Shortcut& shortcut) {
    if (heldByOthers.contains(shortcut))
        return 0;
    // A desktop that binds the keys itself hands a recording recorder the keys.
    if (confirmsBindings && feedRecorder(shortcut))
        return 0;
    if (!enabled)
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

std::optional<Shortcut> FakeShortcutRegistry::getShortcut(const QString& name) const {
    return shortcuts.contains(name) ? std::optional(shortcuts.value(name)) : std::nullopt;
}

ShortcutGrab FakeShortcutRegistry::setShortcut(const std::optional<Shortcut>& shortcut,
                                               const QString& name) {
    if (shortcut)
        shortcuts.insert(name, *shortcut);
    else
        shortcuts.remove(name);
    return grabState(name);
}

ShortcutGrab FakeShortcutRegistry::onKeyDown(const QString& name, Handler action) {
    registrations.append(QLatin1Char('+') + name);
    handlers.insert(name, std::move(action));
    return grabState(name);
}

void FakeShortcutRegistry::removeHandler(const QString& name) {
    registrations.append(QLatin1Char('-') + name);
    handlers.remove(name);
}

ShortcutGrab FakeShortcutRegistry::grabState(const QString& name) const {
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
    if (unboundByDesktop.contains(name))
        return ShortcutGrab::notBoundByDesktop;
    return ShortcutGrab::active;
}

QString FakeShortcutRegistry::displayText(const Shortcut& shortcut) const {
    QString key;
    if (shortcut.key >= Qt::Key_F1 && shortcut.key <= Qt::Key_F35)
        key = QStringLiteral("F%1").arg(shortcut.key - Qt::Key_F1 + 1);
    else if (shortcut.key >= Qt::Key_Space && shortcut.key <= Qt::Key_AsciiTilde)
        key = QChar(shortcut.key);
    else
        key = QStringLiteral("0x%1").arg(int(shortcut.key), 0, 16);
    return ShortcutModifiers::displayPrefix(shortcut.modifiers) + key;
}
