#include "platform/linux/LinuxDesktopSettings.h"

namespace {
std::optional<DesktopSettingsCommand> currentCommand() {
    return LinuxDesktopSettings::accessibilitySettingsCommand(
        DesktopSettingsCommand::currentDesktops(), DesktopSettingsCommand::desktopEntryExists,
        DesktopSettingsCommand::programExists);
}
} // namespace

std::optional<DesktopSettingsCommand> LinuxDesktopSettings::accessibilitySettingsCommand(
    const QStringList& desktops, const std::function<bool(const QString&)>& hasEntry,
    const std::function<bool(const QString&)>& hasProgram) {
    const auto is = [&desktops](const char* name) {
        return desktops.contains(QLatin1String(name), Qt::CaseInsensitive);
    };
    const auto firstEntry =
        [&hasEntry](
            std::initializer_list<const char*> ids) -> std::optional<DesktopSettingsCommand> {
        for (const char* id : ids) {
            if (hasEntry(QLatin1String(id)))
                return DesktopSettingsCommand{QLatin1String(id), {}};
        }
        return std::nullopt;
    };
    // Each desktop's entry carries the panel's own command line, which changes
    // between releases; the program is the fallback where no entry is installed.
    if (is("GNOME") || is("Unity") || is("ubuntu")) {
        if (auto entry = firstEntry({"gnome-universal-access-panel", "gnome-accessibility-panel"}))
            return entry;
        if (hasProgram(QStringLiteral("gnome-control-center")))
            return DesktopSettingsCommand{
                {}, {QStringLiteral("gnome-control-center"), QStringLiteral("universal-access")}};
        return std::nullopt;
    }
    if (is("KDE")) {
        if (auto entry = firstEntry({"kcm_access"}))
            return entry;
        for (const char* program : {"systemsettings", "systemsettings5"}) {
            if (hasProgram(QLatin1String(program)))
                return DesktopSettingsCommand{
                    {}, {QLatin1String(program), QStringLiteral("kcm_access")}};
        }
        return std::nullopt;
    }
    if (is("XFCE"))
        return firstEntry({"xfce4-accessibility-settings"});
    if (is("X-Cinnamon") || is("Cinnamon"))
        return firstEntry({"cinnamon-settings-universal-access"});
    if (is("MATE"))
        return firstEntry({"mate-at-properties"});
    return std::nullopt;
}

bool LinuxDesktopSettings::canOpenAccessibilitySettings() const {
    return currentCommand().has_value();
}

bool LinuxDesktopSettings::openAccessibilitySettings() {
    const std::optional<DesktopSettingsCommand> command = currentCommand();
    return command && command->launch();
}
