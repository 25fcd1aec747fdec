#pragma once

#include "core/pickers/PickerChoice.h"
#include "core/pickers/RadialPickerGeometry.h"

#include <QIcon>
#include <QList>
#include <QRegion>
#include <QWidget>

// The radial picker's disc: draws the slices, tracks the pointer and the keys,
// and reports a confirmed slice or a cancel. One accessible child per slice.
class RadialEditorPickerView : public QWidget {
    Q_OBJECT
public:
    RadialEditorPickerView(const QList<PickerChoice>& candidates, const QList<QIcon>& icons,
                           QWidget* parent = nullptr);

    const RadialPickerGeometry& geometry() const { return m_geometry; }
    int count() const { return int(m_candidates.size()); }
    int highlightIndex() const { return m_highlightIndex; }
    void setHighlightIndex(int index);
    // Whether a soft shadow is drawn around the disc and the caption; it needs
    // a window system that blends translucent windows.
    void setShadowed(bool shadowed);
    // The painted disc and caption without the shadow, for windows that
    // cannot be translucent and are cut to shape instead.
    QRegion paintedShape() const;

    QString label(int index) const;
    QString sliceHelp(int index) const;
    // Confirms slice `index`; out of range confirms nothing (a cancel).
    void confirm(int index);

    static QString shortcutText(int number);

Q_SIGNALS:
    void confirmed(int index);
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool handleShortcut(QKeyEvent* event);
    void moveHighlight(int step);
    void trackPointer(const QPointF& point);
    void paintDisc(QPainter& painter) const;
    void paintSlices(QPainter& painter) const;
    void paintBadge(QPainter& painter, int index) const;
    void paintPill(QPainter& painter) const;

    QList<PickerChoice> m_candidates;
    QList<QIcon> m_icons;
    RadialPickerGeometry m_geometry;
    int m_highlightIndex = 0;
    bool m_shadowed = true;
};
