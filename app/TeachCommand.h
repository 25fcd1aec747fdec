#pragma once

#include "app/StoreCommand.h"

#include <QStringList>

// `corvanta teach FILE`: teaches the type of a sample file, asking on the
// terminal where the application shows its dialogs.
class TeachCommand : public StoreCommand<RouteStore> {
public:
    using StoreCommand::StoreCommand;
    // Exit status: 0 a route covers the type now, 1 nothing was taught (no
    // extension, cancelled, or the routes file could not be loaded), 2 usage or
    // a missing file.
    int run(const QStringList& arguments);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();
};
