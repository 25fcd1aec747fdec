#include "core/menubar/DropZoneView.h"

#include "core/menubar/DropAcceptance.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {
// The secondary label colour: the text colour, toned down.
QColor secondaryLabel(const QPalette& palette) {
    QColor colour = palette.color(QPalette::WindowText);
    colour.setAlphaF(0.7f);
    return colour;
}
} // namespace

DropZoneView::DropZoneView(QWidget* parent)
    : QWidget(parent)
    , m_march(new QVariantAnimation(this)) {
    setObjectName(QStringLiteral("dropZoneView"));
    setAcceptDrops(true);
    setAccessibleName(QStringLiteral("Route file type"));
    const QString help = QStringLiteral("Drop a sample file here to teach Corvanta a new type");
    setAccessibleDescription(help);
    setToolTip(help);
    m_march->setStartValue(0.0);
    m_march->setEndValue(-(dashOn + dashOff));
    m_march->setDuration(marchPeriodMs);
    m_march->setLoopCount(-1);
    connect(m_march, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_phase = value.toReal();
        update();
    });
}

void DropZoneView::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    if (active) {
        m_march->start();
    } else {
        m_march->stop();
        m_phase = 0;
    }
    update();
}

bool DropZoneView::isMarching() const {
    return m_march->state() == QAbstractAnimation::Running;
}

QRectF DropZoneView::borderRect() const {
    return QRectF(rect()).adjusted(borderInset, borderInset, -borderInset, -borderInset);
}

void DropZoneView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor background = palette().color(QPalette::Window);
    background.setAlphaF(0.8f);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);

    QFont font = this->font();
    font.setPixelSize(13);
    font.setWeight(QFont::Medium);
    painter.setFont(font);
    painter.setPen(secondaryLabel(palette()));
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Route File Type"));

    // Qt measures dashes in pen widths.
    QPen pen(m_active ? palette().color(QPalette::Highlight) : secondaryLabel(palette()));
    pen.setWidthF(borderWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setDashPattern({dashOn / borderWidth, dashOff / borderWidth});
    pen.setDashOffset(-m_phase / borderWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(borderRect(), borderRadius, borderRadius);
}

void DropZoneView::dragEnterEvent(QDragEnterEvent* event) {
    if (!DropAcceptance::acceptableFile(event->mimeData())) {
        event->ignore();
        return;
    }
    setActive(true);
    Q_EMIT dragEntered();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropZoneView::dragMoveEvent(QDragMoveEvent* event) {
    if (!DropAcceptance::acceptableFile(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropZoneView::dragLeaveEvent(QDragLeaveEvent*) {
    setActive(false);
    Q_EMIT dragExited();
}

void DropZoneView::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> url = DropAcceptance::acceptableFile(event->mimeData());
    if (!url) {
        event->ignore();
        return;
    }
    setActive(false);
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT dropped(*url);
}
