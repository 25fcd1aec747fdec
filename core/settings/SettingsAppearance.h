#pragma once

class QPalette;
class QString;
class QWidget;

// The settings window and its sheets are always dark, whatever the desktop's
// colours; other windows keep the desktop's.
struct SettingsAppearance {
    static QPalette darkPalette();
    // Gives a window (and the widgets in it) the dark palette.
    static void applyDark(QWidget* window);
    // The style sheet of one button of a segmented control (`first`/`last`: its
    // rounded ends). The checked segment is filled with the accent and bold, so
    // it stands apart by more than colour.
    static QString segmentStyleSheet(bool first, bool last);
};
