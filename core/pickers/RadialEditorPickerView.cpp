#include "core/pickers/RadialEditorPickerView.h"

#include "core/pickers/PickerCandidates.h"
#include "core/pickers/RadialPickerAccessible.h"
#include "core/platform/PlatformTexts.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {
// The palette has no separator role; a line between Window and WindowText is
// what styles draw for one.
QColor separatorColor(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    const qreal mix = 0.35;
    return QColor::fromRgbF(window.redF() + (text.redF() - window.redF()) * mix,
                            window.greenF() + (text.greenF() - window.greenF()) * mix,
                            window.blueF() + (text.blueF() - window.blueF()) * mix);
}

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(alpha);
    return color;
}

QRectF capsule(const QRectF& rect, qreal grow = 0) {
    return rect.adjusted(-grow, -grow, grow, grow);
}

void fillCapsule(QPainter& painter, const QRectF& rect, const QBrush& brush) {
    const qreal radius = rect.height() / 2;
    painter.setBrush(brush);
    painter.drawRoundedRect(rect, radius, radius);
}

// Frameless windows get no shadow from the window manager; a soft one drawn
// into the translucent margin sets the picker off the windows behind it.
void paintShadow(QPainter& painter, const QPainterPath& shape) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const int layers = 6;
    for (int i = layers; i >= 1; --i) {
        QPainterPathStroker stroker;
        stroker.setWidth(2.0 * i);
        stroker.setJoinStyle(Qt::RoundJoin);
        const QPainterPath ring = stroker.createStroke(shape).united(shape);
        painter.setBrush(QColor(0, 0, 0, 7));
        painter.drawPath(ring.translated(0, 1.5));
    }
    painter.restore();
}

// The caption uses the desktop's body font; the badges a smaller one, in the
// proportions of a 13 point caption and 9 point badges.
QFont captionFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::Medium);
    return font;
}

QFont badgeFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(std::max(base.pointSizeF() * 9.0 / 13.0, 6.5));
    font.setWeight(QFont::DemiBold);
    return font;
}

QPainterPath sectorPath(const RadialPickerGeometry& g, int index) {
    const RadialLayout& l = g.layout();
    const QPointF c = l.discCenter;
    const QRectF outer(c.x() - l.outerRadius, c.y() - l.outerRadius, 2 * l.outerRadius,
                       2 * l.outerRadius);
    const QRectF inner(c.x() - l.innerRadius, c.y() - l.innerRadius, 2 * l.innerRadius,
                       2 * l.innerRadius);
    const qreal start = qRadiansToDegrees(g.sliceStartAngle(index));
    const qreal span = -qRadiansToDegrees(g.sliceSpan());
    QPainterPath path;
    path.arcMoveTo(outer, start);
    path.arcTo(outer, start, span);
    path.arcTo(inner, start + span, -span);
    path.closeSubpath();
    return path;
}
} // namespace

RadialEditorPickerView::RadialEditorPickerView(const QList<PickerChoice>& candidates,
                                               const QList<QIcon>& icons, QWidget* parent)
    : QWidget(parent)
    , m_candidates(candidates)
    , m_icons(icons)
    , m_geometry(int(candidates.size())) {
    RadialPickerAccessible::installFactory();
    setObjectName(QStringLiteral("radialEditorPickerView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    const QSizeF content = m_geometry.layout().contentSize;
    setFixedSize(qCeil(content.width()), qCeil(content.height()));
    setToolTip(QStringLiteral("Arrow keys or mouse to highlight. Return or click a slice to "
                              "open. Escape or click outside to cancel."));
    setAccessibleDescription(QStringLiteral("Move the pointer or use arrow keys to highlight an "
                                            "editor. Return confirms, Escape cancels."));
    m_icons.resize(m_candidates.size());
}

QString RadialEditorPickerView::shortcutText(int number) {
    return PlatformTexts::text("\u2318") + QString::number(number);
}

QString RadialEditorPickerView::label(int index) const {
    if (index < 0 || index >= count())
        return {};
    return pickerChoiceLabel(m_candidates.at(index));
}

QString RadialEditorPickerView::sliceHelp(int index) const {
    if (index < 0 || index >= count())
        return {};
    const bool editor = m_candidates.at(index).editor() != nullptr;
    QString help = QString::number(index + 1) + QStringLiteral(" of ") + QString::number(count()) +
                   QStringLiteral(". Click or press to ") +
                   (editor ? QStringLiteral("open with") : QStringLiteral("run")) +
                   QLatin1Char(' ') + label(index);
    if (index < 9)
        help += QStringLiteral(". Shortcut ") + shortcutText(index + 1);
    return help;
}

void RadialEditorPickerView::setHighlightIndex(int index) {
    if (index == m_highlightIndex)
        return;
    m_highlightIndex = index;
    update();
    if (QAccessible::isActive())
        RadialPickerAccessible::notifyHighlightChanged(this);
}

void RadialEditorPickerView::confirm(int index) {
    if (index >= 0 && index < count())
        Q_EMIT confirmed(index);
    else
        Q_EMIT cancelled();
}

void RadialEditorPickerView::moveHighlight(int step) {
    const int n = count();
    if (n == 0)
        return;
    setHighlightIndex(((m_highlightIndex + step) % n + n) % n);
}

void RadialEditorPickerView::trackPointer(const QPointF& point) {
    if (count() == 0 || m_geometry.zoneAt(point) != RadialPickerGeometry::Zone::ring)
        return;
    setHighlightIndex(m_geometry.sliceAt(point));
}

void RadialEditorPickerView::mouseMoveEvent(QMouseEvent* event) {
    trackPointer(event->position());
}

void RadialEditorPickerView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void RadialEditorPickerView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    switch (m_geometry.zoneAt(event->position())) {
    case RadialPickerGeometry::Zone::ring:
        confirm(m_geometry.sliceAt(event->position()));
        break;
    case RadialPickerGeometry::Zone::outside:
        Q_EMIT cancelled();
        break;
    case RadialPickerGeometry::Zone::hole:
    case RadialPickerGeometry::Zone::pill:
        break;
    }
}

int RadialEditorPickerView::shortcutSlice(const QKeyEvent* event) const {
    if (!(event->modifiers() & Qt::ControlModifier))
        return -1;
    // Shift (a rule from the choice) turns the number row into punctuation,
    // different in every layout, and French keyboards type digits only with it.
    const int key = event->key();
    int number = key >= Qt::Key_1 && key <= Qt::Key_9 ? key - Qt::Key_0 : 0;
    if (!number && m_digitLookup)
        number = m_digitLookup(event->nativeScanCode(), event->nativeModifiers());
    return number >= 1 && number <= count() ? number - 1 : -1;
}

void RadialEditorPickerView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm(m_highlightIndex);
        return;
    case Qt::Key_Escape:
        Q_EMIT cancelled();
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        moveHighlight(1);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        moveHighlight(-1);
        return;
    default:
        break;
    }
    if (const int slice = shortcutSlice(event); slice >= 0) {
        confirm(slice);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool RadialEditorPickerView::event(QEvent* event) {
    // Ctrl+digit must reach the picker even where a shortcut would claim it.
    if (event->type() == QEvent::ShortcutOverride) {
        if (shortcutSlice(static_cast<QKeyEvent*>(event)) >= 0) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void RadialEditorPickerView::setShadowed(bool shadowed) {
    m_shadowed = shadowed;
    update();
}

QRegion RadialEditorPickerView::paintedShape() const {
    const RadialLayout& l = m_geometry.layout();
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill);
    shape.addEllipse(l.discCenter, l.outerRadius, l.outerRadius);
    shape.addRoundedRect(l.pillRect, l.pillRect.height() / 2, l.pillRect.height() / 2);
    return QRegion(shape.toFillPolygon().toPolygon(), Qt::WindingFill);
}

void RadialEditorPickerView::paintEvent(QPaintEvent*) {
    if (count() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paintDisc(painter);
    paintSlices(painter);
    paintPill(painter);
}

void RadialEditorPickerView::paintDisc(QPainter& painter) const {
    const RadialLayout& l = m_geometry.layout();
    QPainterPath disc;
    disc.addEllipse(l.discCenter, l.outerRadius, l.outerRadius);
    QPainterPath hole;
    hole.addEllipse(l.discCenter, l.innerRadius, l.innerRadius);
    if (m_shadowed)
        paintShadow(painter, disc);

    const QPalette& pal = palette();
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(pal.color(QPalette::Window), 0.94));
    painter.drawPath(disc);
    // The hole is a shade apart so the ring reads as the place to aim at.
    painter.setBrush(withAlpha(pal.color(QPalette::Base), 0.3));
    painter.drawPath(hole);

    if (m_highlightIndex >= 0 && m_highlightIndex < count()) {
        painter.setBrush(withAlpha(pal.color(QPalette::Highlight), 0.35));
        painter.drawPath(sectorPath(m_geometry, m_highlightIndex));
    }

    QPen circlePen(withAlpha(separatorColor(pal), 0.6), 1);
    painter.setPen(circlePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(l.discCenter, l.outerRadius - 0.5, l.outerRadius - 0.5);
    painter.drawEllipse(l.discCenter, l.innerRadius, l.innerRadius);
}

void RadialEditorPickerView::paintSlices(QPainter& painter) const {
    const qreal s = m_geometry.layout().iconSize;
    for (int i = 0; i < count(); ++i) {
        QRectF iconRect(0, 0, s, s);
        iconRect.moveCenter(m_geometry.iconCenter(i));
        if (!m_icons.at(i).isNull())
            m_icons.at(i).paint(&painter, iconRect.toAlignedRect());
        if (i < 9)
            paintBadge(painter, i);
    }
}

void RadialEditorPickerView::paintBadge(QPainter& painter, int index) const {
    const QFont font = badgeFont(this->font());
    const QFontMetricsF metrics(font);
    const QString text = shortcutText(index + 1);
    QRectF textRect(0, 0, metrics.horizontalAdvance(text), metrics.height());
    textRect.moveCenter(m_geometry.badgeCenter(index));
    const QRectF back = textRect.adjusted(-3, -1.5, 3, 1.5);
    painter.setPen(Qt::NoPen);
    fillCapsule(painter, back, withAlpha(palette().color(QPalette::Window), 0.85));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignCenter, text);
}

void RadialEditorPickerView::paintPill(QPainter& painter) const {
    const QRectF pill = m_geometry.layout().pillRect;
    const QPalette& pal = palette();
    QPainterPath shape;
    shape.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    if (m_shadowed)
        paintShadow(painter, shape);
    painter.setPen(QPen(withAlpha(separatorColor(pal), 0.6), 1));
    fillCapsule(painter, capsule(pill, -0.5), withAlpha(pal.color(QPalette::Window), 0.9));
    if (m_highlightIndex < 0 || m_highlightIndex >= count())
        return;
    const QFont font = captionFont(this->font());
    const QFontMetricsF metrics(font);
    const QRectF textRect(pill.left() + 10, pill.center().y() - metrics.height() / 2,
                          pill.width() - 20, metrics.height());
    painter.setFont(font);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignCenter,
                     metrics.elidedText(label(m_highlightIndex), Qt::ElideRight, textRect.width()));
}
