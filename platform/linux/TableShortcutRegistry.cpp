#include "platform/linux/TableShortcutRegistry.h"

#include "core/platform/ShortcutModifiers.h"

#include <QKeySequence>

TableShortcutRegistry::TableShortcutRegistry(const std::optional<QString>& tablePath)
    : m_table(tablePath ? *tablePath : ShortcutTable::defaultFilePath()) {}

QString TableShortcutRegistry::displayText(const Shortcut& shortcut) const {
    return ShortcutModifiers::displayPrefix(shortcut.modifiers) +
           QKeySequence(shortcut.key).toString(QKeySequence::NativeText);
}
