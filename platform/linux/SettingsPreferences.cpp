#include "platform/linux/SettingsPreferences.h"

#include <QDir>
#include <QStandardPaths>

QString SettingsPreferences::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Corvanta/Corvanta.conf");
}

SettingsPreferences::SettingsPreferences()
    : SettingsPreferences(defaultFilePath()) {}

SettingsPreferences::SettingsPreferences(const QString& filePath)
    : m_settings(filePath, QSettings::IniFormat) {}

std::optional<QString> SettingsPreferences::string(const QString& key) const {
    m_settings.sync();
    const QVariant value = m_settings.value(key);
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<bool> SettingsPreferences::boolean(const QString& key) const {
    m_settings.sync();
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    // Read back from the file, a boolean is the text "true" or "false".
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("1"))
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("0"))
            return false;
    }
    return std::nullopt;
}

void SettingsPreferences::setString(const QString& key, const std::optional<QString>& value) {
    if (value)
        m_settings.setValue(key, *value);
    else
        m_settings.remove(key);
    m_settings.sync();
}

void SettingsPreferences::setBoolean(const QString& key, bool value) {
    m_settings.setValue(key, value);
    m_settings.sync();
}
