#include "core/pickers/ListPickerItemDelegate.h"

#include "core/pickers/ListPickerTable.h"

#include <QAbstractItemView>
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
    // A full-height empty row reads as a gap; a menu-style rule is enough.
    size.setHeight(ListPickerTable::isSeparator(index) ? ListPickerTable::separatorHeight
                                                       : ListPickerTable::rowHeight);
    return size;
}

void ListPickerItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                             const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // Icons that are not square would otherwise shift their row's text.
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option->widget))
        option->decorationSize = view->iconSize();
}
