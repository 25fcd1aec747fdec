#pragma once

class QPalette;
class QWidget;

// The settings window and its sheets are always dark, whatever the desktop's
// colours; other windows keep the desktop's.
struct SettingsAppearance {
    static QPalette darkPalette();
    // Gives a window (and the widgets in it) the dark palette.
    static void applyDark(QWidget* window);
};
