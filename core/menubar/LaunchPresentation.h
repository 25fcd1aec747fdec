#pragma once

// Why Corvanta was started, or asked for while it runs.
enum class LaunchReason {
    // The desktop started it at login (the autostart entry's option).
    login,
    // Files to open: a double-click (D-Bus `Open`) or `corvanta open`.
    open,
    // The user looked for it: D-Bus `Activate` (the application menu), or
    // `corvanta` in a terminal.
    activate,
};

// The window a launch shows: onboarding until it was completed or skipped;
// after that only the user looking for Corvanta on a desktop without a tray
// gets a window (the settings), since nothing else would show it is there.
namespace LaunchPresentation {
enum class Window { none, onboarding, settings };

Window windowFor(LaunchReason reason, bool trayShown, bool onboardingCompleted);
} // namespace LaunchPresentation
