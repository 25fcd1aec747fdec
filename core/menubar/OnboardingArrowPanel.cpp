#include "core/menubar/OnboardingArrowPanel.h"

#include "core/menubar/OnboardingGeometry.h"

#include <QPainter>
#include <QPolygon>

OnboardingArrowPanel::OnboardingArrowPanel(bool translucent, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint |
                          Qt::WindowTransparentForInput)
    , m_translucent(translucent) {
    setObjectName(QStringLiteral("onboardingArrowPanel"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(OnboardingGeometry::arrowSize);
    if (translucent)
        setAttribute(Qt::WA_TranslucentBackground);
}

QPolygonF OnboardingArrowPanel::triangle() const {
    const qreal w = width(), h = height(), mid = w / 2;
    // Apex 2 px from the edge nearest the icon, base 10 px from the other one.
    if (m_pointsUp)
        return QPolygonF({QPointF(mid, 2), QPointF(mid - 12, h - 10), QPointF(mid + 12, h - 10)});
    return QPolygonF({QPointF(mid, h - 2), QPointF(mid - 12, 10), QPointF(mid + 12, 10)});
}

void OnboardingArrowPanel::showAt(const QPoint& topLeft, bool pointsUp) {
    m_pointsUp = pointsUp;
    if (!m_translucent)
        setMask(QRegion(triangle().toPolygon()));
    move(topLeft);
    show();
    raise();
    update();
}

void OnboardingArrowPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0.345f, 0.651f, 1.0f));
    painter.drawPolygon(triangle());
}
