#include "core/menubar/WindowPresenter.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

WindowPresenter::WindowPresenter(QObject* parent)
    : QObject(parent)
    , m_activation({[this] { Q_EMIT taskbarEntryChanged(true); },
                    [this] { Q_EMIT taskbarEntryChanged(false); }, [this] { bringToFront(); }}) {}

void WindowPresenter::track(Presenter presenter, QWidget* window) {
    if (!window)
        return;
    m_tracked.insert(window, presenter);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window, presenter] {
        m_tracked.remove(window);
        windowClosed(presenter);
    });
    if (window->isVisible())
        windowShown(presenter, window);
}

void WindowPresenter::windowShown(Presenter presenter, QWidget* window) {
    m_front = window;
    m_activation.present(presenter);
}

void WindowPresenter::windowClosed(Presenter presenter) {
    m_activation.dismiss(presenter);
}

void WindowPresenter::bringToFront() {
    // A window reports showing before it is mapped; activate it once it is.
    QTimer::singleShot(0, this, [this] {
        if (!m_front || !m_front->isVisible())
            return;
        m_front->raise();
        m_front->activateWindow();
    });
}

bool WindowPresenter::eventFilter(QObject* watched, QEvent* event) {
    const auto it = m_tracked.constFind(watched);
    if (it == m_tracked.cend())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::Show:
        windowShown(*it, window);
        break;
    case QEvent::Hide:
        // A spontaneous hide is the window manager minimising the window.
        if (!event->spontaneous())
            windowClosed(*it);
        break;
    default:
        break;
    }
    return false;
}
