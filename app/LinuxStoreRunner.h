#pragma once

#include "core/model/RouteStore.h"
#include "platform/linux/LinuxPlatform.h"

#include <QStringList>
#include <QTextStream>

// Builds the freedesktop platform and the route store at its default place, as
// the application does, and runs `Command` on them. Commands that only look
// get a read-only store: they create, rewrite and touch nothing.
template <typename Command>
int runWithLinuxStore(const QStringList& arguments, QTextStream& out, QTextStream& err,
                      RouteStore::Access access = RouteStore::Access::readOnly) {
    LinuxPlatform linuxPlatform;
    RouteStore store(linuxPlatform.types(), linuxPlatform.workspace(), std::nullopt, access);
    return Command(out, err, linuxPlatform.platform(), store).run(arguments);
}
