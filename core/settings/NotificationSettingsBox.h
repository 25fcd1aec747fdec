#pragma once

#include <QCheckBox>

class Preferences;

// The general tab's switch for the notification that tells why Corvanta beeped.
class NotificationSettingsBox : public QCheckBox {
    Q_OBJECT
public:
    explicit NotificationSettingsBox(Preferences& preferences, QWidget* parent = nullptr);
};
