#include "core/model/PickerUtility.h"

QString toString(PickerUtilityKind kind) {
    switch (kind) {
    case PickerUtilityKind::copyPOSIXPath:
        return QStringLiteral("copyPOSIXPath");
    case PickerUtilityKind::revealInFinder:
        return QStringLiteral("revealInFinder");
    case PickerUtilityKind::openParentInTerminal:
        return QStringLiteral("openParentInTerminal");
    }
    return {};
}

std::optional<PickerUtilityKind> pickerUtilityKindFromString(const QString& name) {
    for (auto kind : allPickerUtilityKinds) {
        if (toString(kind) == name)
            return kind;
    }
    return std::nullopt;
}

QString defaultTerminalBundleID() {
    return QStringLiteral("org.gnome.Terminal");
}

QStringList knownTerminalBundleIDs() {
    return {defaultTerminalBundleID(),
            QStringLiteral("org.gnome.Console"),
            QStringLiteral("org.gnome.Ptyxis"),
            QStringLiteral("org.kde.konsole"),
            QStringLiteral("xfce4-terminal"),
            QStringLiteral("com.gexperts.Tilix"),
            QStringLiteral("terminator"),
            QStringLiteral("kitty"),
            QStringLiteral("Alacritty"),
            QStringLiteral("org.wezfurlong.wezterm"),
            QStringLiteral("foot")};
}

PickerUtility PickerUtility::makeDefault(PickerUtilityKind kind) {
    PickerUtility utility{kind, true, std::nullopt};
    if (kind == PickerUtilityKind::openParentInTerminal)
        utility.terminalBundleID = defaultTerminalBundleID();
    return utility;
}
