#pragma once

#include "core/menubar/MenuBarActivation.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

// The widget side of the presenter set: a window of ours that shows takes the
// focus and gives Corvanta its taskbar entry; when the last one is hidden or
// closed Corvanta is back to a tray icon only.
class WindowPresenter : public QObject {
    Q_OBJECT
public:
    using Presenter = MenuBarActivation::Presenter;

    explicit WindowPresenter(QObject* parent = nullptr);

    // From now on `window` presents whenever it is shown and is dismissed when it
    // is hidden or closed (not when it is minimised: it keeps its taskbar entry).
    void track(Presenter presenter, QWidget* window);
    // For windows that report showing and closing themselves.
    void windowShown(Presenter presenter, QWidget* window);
    void windowClosed(Presenter presenter);

    // Whether Corvanta currently behaves like an ordinary application.
    bool hasTaskbarEntry() const { return m_activation.isRegular(); }
    const MenuBarActivation& activation() const { return m_activation; }

Q_SIGNALS:
    void taskbarEntryChanged(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bringToFront();

    MenuBarActivation m_activation;
    QHash<QObject*, Presenter> m_tracked;
    QPointer<QWidget> m_front;
};
