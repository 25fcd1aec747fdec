#include "core/pickers/RadialEditorPicker.h"

#include "core/pickers/RadialEditorPickerView.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// Wayland does not tell clients where the pointer is outside their windows.
bool pointerPositionKnown() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QScreen* activeScreen() {
    if (QWindow* focus = QGuiApplication::focusWindow())
        return focus->screen();
    return QGuiApplication::primaryScreen();
}
} // namespace

RadialEditorPicker::RadialEditorPicker(const QString& title, const QList<PickerChoice>& candidates,
                                       const IconSource& icons, bool translucent, QObject* parent)
    : QObject(parent)
    , m_title(title)
    , m_candidates(candidates)
    , m_icons(icons)
    , m_translucent(translucent) {}

RadialEditorPicker::~RadialEditorPicker() {
    qApp->removeEventFilter(this);
    delete m_panel.data();
}

void RadialEditorPicker::show(Completion completion) {
    m_completion = std::move(completion);
    if (m_candidates.isEmpty()) {
        finish(std::nullopt);
        return;
    }
    buildPanel();
    placePanel();
    qApp->installEventFilter(this);
    if (m_prepareWindow)
        m_prepareWindow(m_panel);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    m_view->setFocus(Qt::ActiveWindowFocusReason);
    // Cut to the disc, the panel lets clicks around the disc through to other
    // windows; holding the pointer brings them back, so that they cancel.
    if (!m_translucent)
        grabPointer(0);
}

void RadialEditorPicker::grabPointer(int attempt) {
    if (!isPending() || !m_panel || !m_view)
        return;
    // The window system grants the grab only once the window is mapped.
    QWindow* window = m_panel->windowHandle();
    if (window && window->isExposed() && window->setMouseGrabEnabled(true)) {
        m_view->grabMouse();
        return;
    }
    constexpr int attempts = 50;
    if (attempt < attempts)
        QTimer::singleShot(20, this, [this, attempt] { grabPointer(attempt + 1); });
}

void RadialEditorPicker::buildPanel() {
    QList<QIcon> icons;
    for (const PickerChoice& choice : std::as_const(m_candidates))
        icons.append(m_icons ? m_icons(choice) : QIcon());

    m_panel = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                       Qt::NoDropShadowWindowHint);
    m_panel->setObjectName(QStringLiteral("radialPickerPanel"));
    m_panel->setWindowTitle(m_title);
    if (m_translucent)
        m_panel->setAttribute(Qt::WA_TranslucentBackground);
    m_panel->setAttribute(Qt::WA_DeleteOnClose, false);
    m_panel->setAttribute(Qt::WA_QuitOnClose, false);
    m_panel->setAccessibleName(m_title);

    m_view = new RadialEditorPickerView(m_candidates, icons, m_panel);
    m_view->setDigitLookup(m_digitLookup);
    m_view->setAccessibleName(m_title);
    auto* layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_panel->setFixedSize(m_view->size());
    if (!m_translucent) {
        // Unblended, the shadow would be a dark halo and the corners black.
        m_view->setShadowed(false);
        m_panel->setMask(m_view->paintedShape());
    }
    m_panel->installEventFilter(this);

    connect(m_view, &RadialEditorPickerView::confirmed, this, [this](int index) {
        if (index < 0 || index >= m_candidates.size()) {
            finish(std::nullopt);
            return;
        }
        PickerChoice choice = m_candidates.at(index);
        choice.makesRule =
            choice.editor() && QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
        finish(choice);
    });
    connect(m_view, &RadialEditorPickerView::cancelled, this, [this] { finish(std::nullopt); });
}

void RadialEditorPicker::placePanel() {
    QList<RadialPickerGeometry::ScreenArea> areas;
    int mainIndex = 0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen())
            mainIndex = int(areas.size());
        areas.append({QRectF(screen->geometry()), QRectF(screen->availableGeometry())});
    }
    QPointF pointer = QCursor::pos();
    if (!pointerPositionKnown()) {
        if (QScreen* screen = activeScreen())
            pointer = QRectF(screen->availableGeometry()).center();
    }
    const QPointF origin =
        RadialPickerGeometry::panelOrigin(pointer, QSizeF(m_panel->size()), areas, mainIndex);
    m_panel->move(origin.toPoint());
}

bool RadialEditorPicker::eventFilter(QObject* watched, QEvent* event) {
    if (!isPending())
        return false;
    if (watched == m_panel) {
        if (event->type() == QEvent::Close)
            finish(std::nullopt);
        else if (event->type() == QEvent::WindowDeactivate)
            reactivateLater();
        return false;
    }
    // A click in another window of ours dismisses the picker; the click still
    // reaches that window.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() != m_panel)
            finish(std::nullopt);
    }
    return false;
}

void RadialEditorPicker::reactivateLater() {
    QTimer::singleShot(0, this, [this] {
        if (!isPending() || !m_panel)
            return;
        m_panel->raise();
        m_panel->activateWindow();
        m_view->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void RadialEditorPicker::finish(const std::optional<PickerChoice>& choice) {
    if (!m_completion)
        return;
    Completion completion = std::exchange(m_completion, {});
    qApp->removeEventFilter(this);
    if (m_view)
        m_view->releaseMouse();
    if (m_panel) {
        m_panel->removeEventFilter(this);
        m_panel->close();
        m_panel->deleteLater();
    }
    m_panel = nullptr;
    m_view = nullptr;
    completion(choice);
}
