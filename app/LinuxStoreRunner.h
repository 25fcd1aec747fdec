#pragma once

#include "core/model/RouteStore.h"
#include "platform/linux/LinuxPlatform.h"

#include <QStringList>
#include <QTextStream>

// Builds the freedesktop platform and the route store at its default place, as
// the application does, and runs `Command` on them.
template <typename Command>
int runWithLinuxStore(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    LinuxPlatform linuxPlatform;
    RouteStore store(linuxPlatform.types(), linuxPlatform.workspace());
    return Command(out, err, linuxPlatform.platform(), store).run(arguments);
}
