#include "core/settings/NotificationSettingsBox.h"

#include "core/platform/Preferences.h"

NotificationSettingsBox::NotificationSettingsBox(Preferences& preferences, QWidget* parent)
    : QCheckBox(QStringLiteral("Say why in a notification when Corvanta beeps"), parent) {
    setObjectName(QStringLiteral("notifyWhenBeepingCheckBox"));
    setToolTip(QStringLiteral(
        "For example when a rule hotkey finds no selected files; many desktops play no beep"));
    setChecked(preferences.boolean(PreferenceKeys::notifiesWhenBeeping).value_or(true));
    connect(this, &QCheckBox::toggled, this, [&preferences](bool on) {
        preferences.setBoolean(PreferenceKeys::notifiesWhenBeeping, on);
    });
}
