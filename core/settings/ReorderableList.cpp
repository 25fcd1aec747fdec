#include "core/settings/ReorderableList.h"

#include "core/settings/RouteSettingsSummary.h"

#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QMimeData>

ReorderableList::ReorderableList(QWidget* parent)
    : QListWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAccessibleDescription(QStringLiteral("Alt+Up and Alt+Down move the selected row"));
}

int ReorderableList::gapAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return position.y() < 0 ? 0 : count();
    const QRect rect = visualRect(index);
    return position.y() < rect.center().y() ? index.row() : index.row() + 1;
}

QStringList ReorderableList::mimeTypes() const {
    return {QString::fromLatin1(rowMimeType)};
}

QMimeData* ReorderableList::mimeData(const QList<QListWidgetItem*>& items) const {
    if (items.size() != 1 || !(items.first()->flags() & Qt::ItemIsDragEnabled))
        return nullptr;
    auto* data = new QMimeData;
    // The list's address keeps rows of one list from being dropped on another.
    data->setData(QString::fromLatin1(rowMimeType), QByteArray::number(quintptr(this)) + ' ' +
                                                        QByteArray::number(row(items.first())));
    return data;
}

int ReorderableList::draggedRow(const QDropEvent* event) const {
    const QByteArray payload = event->mimeData()->data(QString::fromLatin1(rowMimeType));
    const QList<QByteArray> parts = payload.split(' ');
    if (parts.size() != 2 || parts.at(0) != QByteArray::number(quintptr(this)))
        return -1;
    bool ok = false;
    const int from = parts.at(1).toInt(&ok);
    if (!ok || from < 0 || from >= count() || !(item(from)->flags() & Qt::ItemIsDragEnabled))
        return -1;
    return from;
}

bool ReorderableList::accepts(const QDropEvent* event) const {
    if (draggedRow(event) < 0)
        return false;
    return RouteSettingsSummary::acceptsGap(gapAt(event->position().toPoint()), acceptedLastGap());
}

int ReorderableList::acceptedLastGap() const {
    return lastGap ? lastGap() : count();
}

void ReorderableList::reportMove(int from, int gap) {
    Q_EMIT rowMoved(from, gap);
    if (onMove)
        onMove(from, gap);
}

void ReorderableList::dragEnterEvent(QDragEnterEvent* event) {
    if (draggedRow(event) < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ReorderableList::dragMoveEvent(QDragMoveEvent* event) {
    QListWidget::dragMoveEvent(event);
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ReorderableList::dropEvent(QDropEvent* event) {
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    const int from = draggedRow(event);
    const int gap = gapAt(event->position().toPoint());
    // The owner rebuilds the rows from the store; the view moves nothing itself.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    // Rows are rebuilt once the drag has fully ended.
    QMetaObject::invokeMethod(
        this, [this, from, gap] { reportMove(from, gap); }, Qt::QueuedConnection);
}

void ReorderableList::keyPressEvent(QKeyEvent* event) {
    // Alt+Up/Down, the keys of the rearrangeable list in the WAI-ARIA authoring
    // practices; Ctrl and Shift with arrows keep their list meanings.
    const bool up = event->key() == Qt::Key_Up;
    const int from = currentRow();
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier ||
        (!up && event->key() != Qt::Key_Down) || from < 0) {
        QListWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const int to = up ? from - 1 : from + 1;
    // The gap above the row before, or below the row after.
    const int gap = up ? to : to + 1;
    if (!(item(from)->flags() & Qt::ItemIsDragEnabled) || to < 0 || to >= count() ||
        !RouteSettingsSummary::acceptsGap(gap, acceptedLastGap()))
        return;
    reportMove(from, gap);
    // The owner has rebuilt the rows; the moved one stays current.
    if (to < count())
        setCurrentRow(to);
}
