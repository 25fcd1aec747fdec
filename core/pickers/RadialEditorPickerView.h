#pragma once

#include "core/pickers/PickerChoice.h"
#include "core/pickers/RadialPickerGeometry.h"

#include <QIcon>
#include <QList>
#include <QRegion>
#include <QWidget>
#include <functional>

// The radial picker's disc: draws the slices, tracks the pointer and the keys,
// and reports a confirmed slice or a cancel. One accessible child per slice.
class RadialEditorPickerView : public QWidget {
    Q_OBJECT
public:
    // The digit 1 to 9 printed on the key of a key event (its native scan code
    // and modifiers), whatever the layout types on it at the level pressed; 0
    // for none.
    using DigitLookup = std::function<int(quint32 nativeScanCode, quint32 nativeModifiers)>;

    RadialEditorPickerView(const QList<PickerChoice>& candidates, const QList<QIcon>& icons,
                           QWidget* parent = nullptr);

    const RadialPickerGeometry& geometry() const { return m_geometry; }
    int count() const { return int(m_candidates.size()); }
    int highlightIndex() const { return m_highlightIndex; }
    void setHighlightIndex(int index);
    // Whether a soft shadow is drawn around the disc and the caption; it needs
    // a window system that blends translucent windows.
    void setShadowed(bool shadowed);
    // Without one, Ctrl+Shift with a number key works only where the layout
    // types a digit with Shift held.
    void setDigitLookup(DigitLookup lookup) { m_digitLookup = std::move(lookup); }
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
    // The slice a Ctrl+number press confirms; -1 for none.
    int shortcutSlice(const QKeyEvent* event) const;
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
    DigitLookup m_digitLookup;
};
