#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The small controls every settings page and sheet builds the same way.
namespace SettingsControls {
// A push button with its tool tip (none when empty) and object name.
QPushButton* button(const QString& text, const QString& toolTip, const QString& name,
                    QWidget* parent);
// A plain-text hint in the secondary colour, wrapping; `small` uses the 11-point
// size of the sheets' notes.
QLabel* hintLabel(const QString& text, QWidget* parent, bool small = false);
// A tool tip that shows `text` as typed: Qt would render a text that looks like
// markup (an editor named "<b>X</b>") as rich text.
QString plainToolTip(const QString& text);
// A plain-text label that names `control` for screen readers (its buddy and
// AT-SPI label relation), so a pop-up is announced by what it is, not its value.
QLabel* labelFor(const QString& text, QWidget* control, QWidget* parent);
// For a pop-up that has no label on screen: an unseen one carrying its
// accessible name, so screen readers still get the label relation.
void labelForScreenReaders(QWidget* control);
} // namespace SettingsControls

class QListWidget;
class QListWidgetItem;

// Where a list stood before it was built again: its current row's id (the item's
// Qt::UserRole) and its scroll position.
struct ListPosition {
    QString currentID;
    int scroll = 0;

    static ListPosition of(const QListWidget* list);
    // Makes the row with the kept id current again (none when it is gone) and
    // scrolls back.
    void restore(QListWidget* list) const;
};

namespace SettingsControls {
// A row of `list` whose cell is a widget: `id` for ListPosition, `text` for
// screen readers (the cell widget paints the row, the item has no text).
QListWidgetItem* widgetRow(QListWidget* list, QWidget* cell, const QString& id,
                           const QString& text);
// Focus moving into a row's widget (Tab to its check box) makes that row
// current and scrolls it into view, so the list's buttons act on it.
void followRowFocus(QListWidget* list);
} // namespace SettingsControls
