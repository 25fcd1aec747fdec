#pragma once

#include <QListWidget>

// The list picker's one-column table. Separator rows are drawn as a line and,
// being disabled items, skipped by the arrow keys; the selection never becomes
// empty.
class ListPickerTable : public QListWidget {
    Q_OBJECT
public:
    // Marks an item as a separator row.
    static constexpr int separatorRole = Qt::UserRole + 1;
    static constexpr int rowHeight = 28;
    static constexpr int separatorHeight = 9;

    explicit ListPickerTable(QWidget* parent = nullptr);

    static bool isSeparator(const QModelIndex& index);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};
