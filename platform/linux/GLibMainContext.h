#pragma once

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

// GIO reports asynchronous results and D-Bus signals through the GLib main
// context of the thread that asked; the main thread's default context runs only
// while Qt's event loop uses its GLib event dispatcher (the default on Linux,
// not with QT_NO_GLIB set).
inline bool glibMainContextRuns() {
    QCoreApplication* app = QCoreApplication::instance();
    const QAbstractEventDispatcher* dispatcher =
        app ? QAbstractEventDispatcher::instance(app->thread()) : nullptr;
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}
