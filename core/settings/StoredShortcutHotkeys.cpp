#include "core/settings/StoredShortcutHotkeys.h"

#include "core/platform/ShortcutRegistry.h"

#include <QPushButton>

StoredShortcutHotkeys::StoredShortcutHotkeys(const ShortcutRegistry& registry)
    : m_registry(registry) {}

std::optional<QString> StoredShortcutHotkeys::shortcut(const QString& name) const {
    return m_registry.shortcutDisplayText(name);
}

void StoredShortcutHotkeys::setShortcut(const QString& name,
                                        const std::optional<QString>& shortcut) {
    // Nothing was recorded through this registry, so nothing needs putting back.
    Q_UNUSED(name);
    Q_UNUSED(shortcut);
}

QWidget* StoredShortcutHotkeys::makeRecorder(const QString& name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("hotkeyRecorderButton"));
    button->setText(
        m_registry.shortcutDisplayText(name).value_or(QStringLiteral("Record Shortcut")));
    button->setMinimumWidth(130);
    button->setEnabled(false);
    return button;
}

void StoredShortcutHotkeys::stopRecording(QWidget* recorder) {
    Q_UNUSED(recorder);
}
