#pragma once

#include <QString>
#include <span>

// Texts whose original wording names something that does not exist on Linux,
// side by side with the wording used here. Everything else is used verbatim.
namespace PlatformTexts {
struct Replacement {
    const char* original;
    const char* replacement;
};
// Looks up the Linux wording for an original text; returns the text unchanged
// when it needs no replacement.
QString text(const char* original);
// Every row, for the test that the code asks only for rows that exist.
std::span<const Replacement> replacements();

// Texts of things only this system has, worded for Linux desktops. `%1` and
// `%2` are filled in by the caller.
namespace Linux {
inline constexpr const char* installFileManagerActions = "Install File Manager Actions\u2026";
inline constexpr const char* installFileManagerActionsTip =
    "Add an action per rule with a hotkey to your file managers' context menus";
inline constexpr const char* removeFileManagerActions = "Remove File Manager Actions\u2026";
inline constexpr const char* removeFileManagerActionsTip =
    "Take Corvanta's actions out of your file managers' context menus";
inline constexpr const char* confirmInstallTitle = "Install File Manager Actions?";
// %1: the file managers ("Nautilus and Thunar"), %2: how many rules.
inline constexpr const char* confirmInstallText =
    "%1 will get one action per rule with a hotkey (%2 in all) that opens the selected files "
    "with that rule. Corvanta writes only its own actions: nothing else of theirs is touched, "
    "and your own scripts and actions stay as they are.";
inline constexpr const char* confirmRemoveTitle = "Remove File Manager Actions?";
inline constexpr const char* confirmRemoveText =
    "Corvanta's actions are taken out of your file managers' menus. Your own scripts and "
    "actions stay as they are.";
inline constexpr const char* installButton = "Install";
inline constexpr const char* removeButton = "Remove";
inline constexpr const char* cancelButton = "Cancel";
inline constexpr const char* noFileManagerTitle = "No Supported File Manager";
inline constexpr const char* noFileManagerText =
    "No supported file manager (Nautilus, Nemo, Dolphin, Thunar) was found.";
inline constexpr const char* noHotkeyTitle = "No Rule Has a Hotkey";
inline constexpr const char* noHotkeyText =
    "Give a rule a hotkey in its editor on the rules tab, then install the actions.";
inline constexpr const char* routesUnreadableTitle = "Routes Could Not Be Read";
inline constexpr const char* routesUnreadableText =
    "Nothing was changed: without your rules every action of Corvanta's would look stale.";
inline constexpr const char* installedTitle = "File Manager Actions Installed";
inline constexpr const char* removedTitle = "File Manager Actions Removed";
inline constexpr const char* failedTitle = "Some File Manager Actions Failed";
inline constexpr const char* writtenHeading = "Installed:";
inline constexpr const char* removedHeading = "Removed:";
inline constexpr const char* skippedHeading = "Left out:";
inline constexpr const char* failedHeading = "Failed:";
inline constexpr const char* nothingChanged = "Nothing needed to change.";
inline constexpr const char* confirmsBindingsNote =
    "On this desktop each global shortcut has to be confirmed in the desktop's own dialog "
    "before it works, so rule hotkeys may not fire. The file manager actions are the reliable "
    "way to run a rule on the selected files.";
// Next to a hotkey recorder where the desktop assigns global shortcuts itself.
inline constexpr const char* desktopConfirmsShortcuts =
    "The desktop assigns global shortcuts: it may ask you to confirm these keys, and keys you "
    "set for Corvanta in its settings take precedence.";
} // namespace Linux
} // namespace PlatformTexts
