#pragma once

#include <QStyledItemDelegate>

// Draws the list picker's rows at a fixed height, and its separator as a thin
// line across the row.
class ListPickerItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
