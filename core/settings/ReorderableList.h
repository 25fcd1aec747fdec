#pragma once

#include <QListWidget>
#include <functional>

// A list whose rows are reordered by dragging them between rows, or from the
// keyboard with Alt+Up / Alt+Down on the current row. It does not move anything
// itself: it reports the row and the gap it goes into (0 to the last accepted
// gap), and its owner reloads from the store; the current row then follows it.
class ReorderableList : public QListWidget {
    Q_OBJECT
public:
    static constexpr const char* rowMimeType = "application/x-corvanta-row";

    explicit ReorderableList(QWidget* parent = nullptr);

    // The last gap a drop may land in; by default the gap after the last row.
    std::function<int()> lastGap;
    std::function<void(int from, int gap)> onMove;

    // The gap nearest to `position` (viewport coordinates).
    int gapAt(const QPoint& position) const;

Q_SIGNALS:
    void rowMoved(int from, int gap);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The dragged row when `event` carries one of this list's rows, else -1.
    int draggedRow(const QDropEvent* event) const;
    bool accepts(const QDropEvent* event) const;
    int acceptedLastGap() const;
    void reportMove(int from, int gap);
};
