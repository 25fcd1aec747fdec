#include "core/menubar/DropPalettePanel.h"

#include "core/menubar/DropZoneView.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWidget>

namespace {
constexpr Qt::WindowFlags panelFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint;

QBitmap roundedMask(QSize size, qreal radius) {
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius, radius);
    return mask;
}
} // namespace

DropPalettePanel::DropPalettePanel(Callbacks callbacks, bool translucent, QObject* parent)
    : QObject(parent)
    , m_callbacks(std::move(callbacks))
    , m_window(new QWidget(nullptr, panelFlags | Qt::WindowDoesNotAcceptFocus))
    , m_zone(new DropZoneView(m_window)) {
    m_window->setObjectName(QStringLiteral("dropPalettePanel"));
    m_window->setWindowTitle(QStringLiteral("Route File Type"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setAttribute(Qt::WA_QuitOnClose, false);
    m_window->setFixedSize(width, height);
    auto* layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_zone);
    if (translucent) {
        m_window->setAttribute(Qt::WA_TranslucentBackground);
    } else {
        // Unblended, the corners outside the rounded shape would show black.
        m_window->setMask(roundedMask(m_window->size(), DropZoneView::cornerRadius));
        m_window->setAutoFillBackground(true);
    }
    m_window->installEventFilter(this);

    connect(m_zone, &DropZoneView::dragEntered, this, [this] {
        if (m_callbacks.dragEntered)
            m_callbacks.dragEntered();
    });
    connect(m_zone, &DropZoneView::dragExited, this, [this] {
        if (m_callbacks.dragExited)
            m_callbacks.dragExited();
    });
    connect(m_zone, &DropZoneView::dropped, this, [this](const QUrl& url) {
        if (m_callbacks.drop)
            m_callbacks.drop(url);
    });
}

DropPalettePanel::~DropPalettePanel() {
    delete m_window;
}

QSize DropPalettePanel::size() const {
    return {width, height};
}

void DropPalettePanel::showAt(const QPoint& topLeft, bool untilDismissed) {
    // Only a palette that waits for the user takes the focus (for Escape); one
    // shown during a drag must leave it with the drag's source.
    if (untilDismissed != m_untilDismissed || !m_window->isVisible()) {
        m_untilDismissed = untilDismissed;
        m_window->setWindowFlags(untilDismissed ? panelFlags
                                                : panelFlags | Qt::WindowDoesNotAcceptFocus);
        m_window->setAttribute(Qt::WA_ShowWithoutActivating, !untilDismissed);
    }
    m_window->move(topLeft);
    m_window->show();
    m_window->raise();
    if (untilDismissed) {
        m_window->activateWindow();
        m_zone->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void DropPalettePanel::hide() {
    m_zone->setActive(false);
    m_window->hide();
}

bool DropPalettePanel::isShown() const {
    return m_window->isVisible();
}

bool DropPalettePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (m_callbacks.dismissed)
            m_callbacks.dismissed();
        return true;
    }
    if (event->type() == QEvent::WindowDeactivate && m_untilDismissed && m_window->isVisible()) {
        if (m_callbacks.clickedAway)
            m_callbacks.clickedAway();
    }
    return false;
}
