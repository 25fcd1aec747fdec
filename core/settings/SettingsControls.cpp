#include "core/settings/SettingsControls.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>

namespace SettingsControls {

QPushButton* button(const QString& text, const QString& toolTip, const QString& name,
                    QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    if (!toolTip.isEmpty())
        b->setToolTip(toolTip);
    return b;
}

QLabel* hintLabel(const QString& text, QWidget* parent, bool small) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    if (small) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 11.0 / 13.0);
        label->setFont(font);
    }
    return label;
}

QString plainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

void labelForScreenReaders(QWidget* control) {
    QLabel* label = labelFor(control->accessibleName(), control, control->parentWidget());
    label->setFixedSize(0, 0);
}

QLabel* labelFor(const QString& text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(control);
    return label;
}

} // namespace SettingsControls

ListPosition ListPosition::of(const QListWidget* list) {
    ListPosition position;
    if (const QListWidgetItem* item = list->currentItem())
        position.currentID = item->data(Qt::UserRole).toString();
    position.scroll = list->verticalScrollBar()->value();
    return position;
}

void ListPosition::restore(QListWidget* list) const {
    if (!currentID.isEmpty()) {
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->data(Qt::UserRole).toString() == currentID) {
                list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
                break;
            }
        }
    }
    list->verticalScrollBar()->setValue(scroll);
}

namespace SettingsControls {

QListWidgetItem* widgetRow(QListWidget* list, QWidget* cell, const QString& id,
                           const QString& text) {
    auto* item = new QListWidgetItem(list);
    item->setData(Qt::UserRole, id);
    item->setData(Qt::AccessibleTextRole, text);
    item->setSizeHint(cell->sizeHint());
    list->setItemWidget(item, cell);
    return item;
}

void followRowFocus(QListWidget* list) {
    QObject::connect(qApp, &QApplication::focusChanged, list, [list](QWidget*, QWidget* now) {
        if (!now || now == list || !list->viewport()->isAncestorOf(now))
            return;
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            QWidget* cell = list->itemWidget(item);
            if (cell && (cell == now || cell->isAncestorOf(now))) {
                if (list->currentItem() != item)
                    list->setCurrentItem(item);
                list->scrollToItem(item);
                return;
            }
        }
    });
}

} // namespace SettingsControls
