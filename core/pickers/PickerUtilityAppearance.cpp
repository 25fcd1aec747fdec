#include "core/pickers/PickerUtilityAppearance.h"

#include "core/platform/PlatformTexts.h"

QString PickerUtilityAppearance::title(PickerUtilityKind kind) {
    switch (kind) {
    case PickerUtilityKind::copyPOSIXPath:
        return PlatformTexts::text("Copy POSIX Path");
    case PickerUtilityKind::revealInFinder:
        return PlatformTexts::text("Reveal in Finder");
    case PickerUtilityKind::openParentInTerminal:
        return PlatformTexts::text("Open Parent in Terminal");
    }
    return {};
}

QStringList PickerUtilityAppearance::iconNames(PickerUtilityKind kind) {
    switch (kind) {
    case PickerUtilityKind::copyPOSIXPath:
        return {QStringLiteral("edit-copy")};
    case PickerUtilityKind::revealInFinder:
        return {QStringLiteral("system-file-manager"), QStringLiteral("folder")};
    case PickerUtilityKind::openParentInTerminal:
        return {QStringLiteral("utilities-terminal"), QStringLiteral("terminal")};
    }
    return {};
}

QString PickerUtilityAppearance::kindTitle(ExternalUtilityKind kind) {
    switch (kind) {
    case ExternalUtilityKind::shortcut:
        return PlatformTexts::text("Run Shortcuts");
    case ExternalUtilityKind::service:
        return PlatformTexts::text("Run Services");
    case ExternalUtilityKind::script:
        return PlatformTexts::text("Run AppleScripts");
    }
    return {};
}

QStringList PickerUtilityAppearance::kindIconNames(ExternalUtilityKind kind) {
    switch (kind) {
    case ExternalUtilityKind::shortcut:
        return {QStringLiteral("system-run"), QStringLiteral("application-x-executable")};
    case ExternalUtilityKind::service:
        return {QStringLiteral("applications-system"), QStringLiteral("preferences-system"),
                QStringLiteral("emblem-system")};
    case ExternalUtilityKind::script:
        return {QStringLiteral("text-x-script"), QStringLiteral("application-x-executable")};
    }
    return {};
}

QStringList PickerUtilityAppearance::iconNames(const ExternalUtilityRef& ref) {
    return kindIconNames(ref.kind);
}
