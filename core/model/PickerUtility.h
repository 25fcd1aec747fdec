#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The built-in utilities a picker can offer. Stored names never change even
// where the title shown on Linux differs.
enum class PickerUtilityKind { copyPOSIXPath, revealInFinder, openParentInTerminal };

inline constexpr std::array allPickerUtilityKinds{PickerUtilityKind::copyPOSIXPath,
                                                  PickerUtilityKind::revealInFinder,
                                                  PickerUtilityKind::openParentInTerminal};

QString toString(PickerUtilityKind kind);
std::optional<PickerUtilityKind> pickerUtilityKindFromString(const QString& name);

struct PickerUtility {
    PickerUtilityKind kind = PickerUtilityKind::copyPOSIXPath;
    bool enabled = true;
    std::optional<QString> terminalBundleID;
    bool operator==(const PickerUtility&) const = default;

    // The entry a route gets when it has none of this kind.
    static PickerUtility makeDefault(PickerUtilityKind kind);
};

// The terminal used when the user chose none.
QString defaultTerminalBundleID();
// Desktop IDs of the terminals offered by name, the default first.
QStringList knownTerminalBundleIDs();

struct EnabledExternalUtility {
    QString id;
    QString name;
    bool operator==(const EnabledExternalUtility&) const = default;
};

struct EnabledScriptUtility {
    QString relativePath;
    QString name;
    bool operator==(const EnabledScriptUtility&) const = default;
};
