#pragma once

#include <QUrl>
#include <QWidget>

class QVariantAnimation;

// The palette's face: "Route File Type" inside a dashed outline that marches
// while a file it would take is over it. Takes exactly one existing file that
// is not a folder.
class DropZoneView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal borderWidth = 2.5;
    static constexpr qreal dashOn = 8;
    static constexpr qreal dashOff = 5;
    static constexpr qreal borderInset = 10;
    static constexpr qreal borderRadius = 8;
    static constexpr qreal cornerRadius = 14;
    static constexpr int marchPeriodMs = 450;

    explicit DropZoneView(QWidget* parent = nullptr);

    bool isActive() const { return m_active; }
    // Setting the same value again does nothing.
    void setActive(bool active);
    // The dash phase of the outline (0 to -13 while marching).
    qreal dashPhase() const { return m_phase; }
    bool isMarching() const;
    // The outline's path, inset from the view's bounds.
    QRectF borderRect() const;

Q_SIGNALS:
    void dragEntered();
    void dragExited();
    void dropped(const QUrl& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool m_active = false;
    qreal m_phase = 0;
    QVariantAnimation* m_march;
};
