#pragma once

#include "core/platform/DesktopSettings.h"
#include "platform/linux/DesktopSettingsCommand.h"

#include <functional>
#include <optional>

// The accessibility panel of the running desktop: GNOME's Settings panel,
// KDE's System Settings module, Xfce's, Cinnamon's and MATE's own dialogs.
class LinuxDesktopSettings : public DesktopSettings {
public:
    // The first panel of the desktops in `desktops` (XDG_CURRENT_DESKTOP split
    // at ':') that is installed; none on any other desktop.
    static std::optional<DesktopSettingsCommand>
    accessibilitySettingsCommand(const QStringList& desktops,
                                 const std::function<bool(const QString& desktopID)>& hasEntry,
                                 const std::function<bool(const QString& program)>& hasProgram);

    bool canOpenAccessibilitySettings() const override;
    bool openAccessibilitySettings() override;
};
