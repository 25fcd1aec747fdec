#include "core/platform/PlatformTexts.h"

#include <iterator>

namespace PlatformTexts {
namespace {
// Add a row when a user-visible text names a macOS-only thing.
constexpr Replacement table[] = {
    {"Reveal in Finder", "Reveal in File Manager"},
    {"macOS treats HTML files as part of the Default Browser setting. Keeping your current "
     "browser means Corvanta will not receive double-clicked HTML files. You can still drop "
     "them on Corvanta or use Open With. To route double-clicks, choose Corvanta when asked; web "
     "links are passed back to your browser.",
     "This desktop treats HTML files as part of the default web browser setting. Keeping your "
     "current browser means Corvanta will not receive double-clicked HTML files. You can still "
     "drop them on Corvanta or use Open With. To route double-clicks, make Corvanta the default "
     "application for HTML files in your desktop's settings; web links are passed back to your "
     "browser."},
    {"Run AppleScripts", "Run Scripts"},
    {"Run Services", "Run File Manager Actions"},
    {"No file Services found in Library/Services.",
     "No file manager actions found (KDE service menus, Nemo actions, Thunar custom actions or "
     "Nautilus scripts)."},
    {"Select one or more files in Finder (or another file manager), then try again.",
     "Select one or more files in your file manager, then try again."},
    // %1: the scripts folder under $XDG_DATA_HOME.
    {"Reveal ~/Library/Scripts in Finder", "Show %1 in the file manager"},
    {"Could not create or reveal ~/Library/Scripts.", "Could not create or show %1."},
    {"Build Corvanta.app (scripts/mkapp.sh), install it, and run it from there.",
     "Install Corvanta (scripts/run.sh installs it for your user), then start it from your "
     "applications menu."},
    {"Run AppleScripts\u2026", "Run Scripts\u2026"},
    {"Use radial even when VoiceOver is on", "Use radial even when a screen reader is on"},
    {"Show the radial picker even when VoiceOver is running",
     "Show the radial picker even when a screen reader is running"},
    {"Reveal Application Scripts in Finder", "Show Application Scripts in the file manager"},
    {"Run Services\u2026", "Run File Manager Actions\u2026"},
    // Global shortcuts: Super stands in for Command, Alt for Option, Ctrl for Control.
    {"\u2318 \u2325 or \u2303 required", "Super, Alt or Ctrl required"},
    {"\u2318 required (except F-keys)", "Super required (except F-keys)"},
    {"Global shortcut that triggers this rule. Include \u2318 so Finder doesn't treat a letter "
     "as type-ahead. Function keys work without \u2318. The same keys can be used on other file "
     "types.",
     "Global shortcut that triggers this rule. Include Super so the file manager doesn't treat a "
     "letter as type-ahead. Function keys work without Super. The same keys can be used on other "
     "file types."},
    {"Include \u2318 so Finder doesn't steal the key. F-keys don't need it.",
     "Include Super so the file manager doesn't steal the key. F-keys don't need it."},
    {"Open System Settings to grant Accessibility access",
     "Open the desktop's accessibility settings"},
    {"Show the system prompt to allow Automation access",
     "Check again whether the file manager's selection can be read here"},
    {"Show the system prompt to allow Accessibility access",
     "Switch on the desktop's accessibility support, through which Corvanta reads selections "
     "in programs other than the listed file managers"},
    {"Finder fallback selection uses Automation permission, requested the first time a rule "
     "hotkey needs it.",
     "The file manager's selection is read by sending it Ctrl+C, which needs an X11 session; "
     "it is checked the first time a rule hotkey needs it."},
    {"Rule hotkeys read the frontmost file manager's selection via Automation (Finder, and Path "
     "Finder or Bloom when that app is frontmost). Click Request\u2026 for the system prompt the "
     "first time. If you previously denied it, use Open Settings\u2026 and turn the apps back on "
     "under Corvanta (macOS will not show the prompt again).",
     "Rule hotkeys read the frontmost file manager's selection by sending it Ctrl+C (Nautilus, "
     "Dolphin, Thunar, Nemo, Caja, PCManFM). This needs an X11 session; Request\u2026 checks "
     "again."},
    {"Rule hotkeys need helper scripts in Application Scripts (Install Scripts\u2026), then "
     "Automation for Finder / Path Finder / Bloom (Request\u2026). If you previously denied "
     "Automation, use Open Settings\u2026 and turn the apps back on under Corvanta.",
     "Rule hotkeys need helper programs in Application Scripts (Install Scripts\u2026), then a "
     "file manager whose selection they can read (Request\u2026 checks again)."},
    // Onboarding: the tray stands in for the menu bar.
    {"Allow Corvanta in the Menu Bar", "Allow Corvanta in the Tray"},
    {"Apps can be hidden from the menu bar. Turn Corvanta on in System Settings if you "
     "don\u2019t see it.",
     "Tray icons can be hidden: GNOME shows them only with the AppIndicator extension, KDE and "
     "Xfce can tuck them into the tray\u2019s overflow. Turn Corvanta on there if you don\u2019t "
     "see it."},
    {"Corvanta lives in the menu bar", "Corvanta lives in the tray"},
    {"Drag any file onto the menu bar icon to route that type.",
     "Drag any file onto the tray icon, or onto the palette that \u201cRoute File Type\u2026\u201d "
     "in its menu opens, to route that type."},
    {"Open Menu Bar Settings\u2026", "Open Tray Settings\u2026"},
    // Settings: editors are chosen in the tray's menu.
    {"Menu bar selection updates the preferred editor (checkmark). Always open can target "
     "multiple apps.",
     "Choosing an editor in the tray menu updates the preferred editor (checkmark). Always open "
     "can target multiple apps."},
    {"Replay the menu bar introduction", "Replay the tray introduction"},
    {"Apps offered for this file type in the menu bar",
     "Apps offered for this file type in the tray menu"},
    {" in the menu bar list for this type", " in the tray menu for this type"},
    {" in the picker and menu bar", " in the picker and the tray menu"},
    // The key that picks a numbered entry; Ctrl stands in for Command.
    {"\u2318", "Ctrl+"},
};
} // namespace

std::span<const Replacement> replacements() {
    return table;
}

QString text(const char* original) {
    for (const auto& row : table) {
        if (qstrcmp(row.original, original) == 0)
            return QString::fromUtf8(row.replacement);
    }
    return QString::fromUtf8(original);
}
} // namespace PlatformTexts
