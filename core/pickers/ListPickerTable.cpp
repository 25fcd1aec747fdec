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

QItemSelectionModel::SelectionFlags ListPickerTable::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
    if (!index.isValid() || isSeparator(index))
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    // Ctrl+click and Ctrl+Space would deselect the highlighted row and leave
    // Return with nothing to confirm: selecting a row is the only change allowed.
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}
