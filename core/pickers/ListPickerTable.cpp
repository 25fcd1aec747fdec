#include "core/pickers/ListPickerTable.h"

#include "core/pickers/ListPickerItemDelegate.h"

ListPickerTable::ListPickerTable(QWidget* parent)
    : QListWidget(parent) {
    setItemDelegate(new ListPickerItemDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(false);
    setIconSize(QSize(18, 18));
    setTextElideMode(Qt::ElideRight);
}

bool ListPickerTable::isSeparator(const QModelIndex& index) {
    return index.data(separatorRole).toBool();
}

QModelIndex ListPickerTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex from = currentIndex();
    QModelIndex next = QListWidget::moveCursor(action, modifiers);
    // Step over separators in the direction of travel; stay put at either end.
    const bool down = next.row() >= from.row();
    while (next.isValid() && isSeparator(next)) {
        const int row = next.row() + (down ? 1 : -1);
        if (row < 0 || row >= count())
            return from;
        next = model()->index(row, 0);
    }
    return next;
}

QItemSelectionModel::SelectionFlags ListPickerTable::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
    if (!index.isValid() || isSeparator(index))
        return QItemSelectionModel::NoUpdate;
    return QListWidget::selectionCommand(index, event);
}
