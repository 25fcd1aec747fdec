#pragma once

#include "core/platform/Preferences.h"

#include <QSettings>

// The user defaults in an INI file, ~/.config/Corvanta/Corvanta.conf (under
// $XDG_CONFIG_HOME when set). Every write reaches the file at once.
class SettingsPreferences : public Preferences {
public:
    SettingsPreferences();
    explicit SettingsPreferences(const QString& filePath);

    static QString defaultFilePath();
    QString filePath() const { return m_settings.fileName(); }

    std::optional<QString> string(const QString& key) const override;
    std::optional<bool> boolean(const QString& key) const override;
    void setString(const QString& key, const std::optional<QString>& value) override;
    void setBoolean(const QString& key, bool value) override;

private:
    mutable QSettings m_settings;
};
