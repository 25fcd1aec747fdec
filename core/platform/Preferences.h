#pragma once

#include <QString>
#include <optional>

// The user defaults of the application (a handful of typed keys).
class Preferences {
public:
    virtual ~Preferences() = default;
    virtual std::optional<QString> string(const QString& key) const = 0;
    virtual std::optional<bool> boolean(const QString& key) const = 0;
    virtual void setString(const QString& key, const std::optional<QString>& value) = 0;
    virtual void setBoolean(const QString& key, bool value) = 0;
};

namespace PreferenceKeys {
inline const QString hasCompletedMenuBarOnboarding =
    QStringLiteral("hasCompletedMenuBarOnboarding");
inline const QString browserHandoffBundleID = QStringLiteral("browserHandoffBundleID");
inline const QString editorPickerStyle = QStringLiteral("editorPickerStyle");
inline const QString editorPickerForceRadialWithVoiceOver =
    QStringLiteral("editorPickerForceRadialWithVoiceOver");
// Off: nothing routed is written to the history (on when unset).
inline const QString remembersRoutedFiles = QStringLiteral("remembersRoutedFiles");
// Off: a beep is only a beep, without a desktop notification (on when unset).
inline const QString notifiesWhenBeeping = QStringLiteral("notifiesWhenBeeping");
} // namespace PreferenceKeys
