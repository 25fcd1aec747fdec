#include "core/pickers/ListPickerItemDelegate.h"

#include "core/pickers/ListPickerTable.h"

#include <QPainter>

void ListPickerItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (!ListPickerTable::isSeparator(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QPalette& palette = option.palette;
    QColor line = palette.color(QPalette::WindowText);
    line.setAlphaF(0.15);
    const int y = option.rect.center().y();
    painter->save();
    painter->setPen(QPen(line, 1));
    painter->drawLine(option.rect.left() + 6, y, option.rect.right() - 6, y);
    painter->restore();
}

QSize ListPickerItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(ListPickerTable::rowHeight);
    return size;
}
