#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <xcb/xcb.h>

// Qt's own connection to the X server; none without a graphical application
// object (commands run on a plain QCoreApplication) or on another platform.
inline xcb_connection_t* qtX11Connection() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// True in a graphical application that Qt runs on another platform than X11
// (a Wayland compositor, offscreen): nothing may then talk to an X server, not
// even Xwayland's, whose windows and keys are only part of such a desktop.
// Commands (no graphical application object) still follow $DISPLAY.
inline bool x11IsOffLimits() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && !qtX11Connection();
}
