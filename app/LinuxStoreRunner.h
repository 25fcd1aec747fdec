#pragma once

#include "core/model/RouteStore.h"
#include "platform/linux/LinuxPlatform.h"

#include <QDBusConnection>
#include <QStringList>
#include <QTextStream>

// Builds the freedesktop platform and the route store at its default place, as
// the application does, and runs `Command` on them.
template <typename Command>
int runWithLinuxStore(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    int status = 0;
    {
        LinuxPlatform linuxPlatform;
        RouteStore store(linuxPlatform.types(), linuxPlatform.workspace());
        status = Command(out, err, linuxPlatform.platform(), store).run(arguments);
    }
    // A bus reply that arrives after a timed-out call is still being read by the
    // bus thread; closing the connection here, while Qt is fully alive, keeps
    // that work from running into the teardown of Qt's type registry at exit.
    QDBusConnection::disconnectFromBus(QDBusConnection::sessionBus().name());
    return status;
}
