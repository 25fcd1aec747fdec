#pragma once

#include "app/StoreCommand.h"

#include <QStringList>

// `corvanta explain [--json] [--rule REF] [--hotkey NAME]... PATH...`: what
// routing would do with each file, and why. Nothing is opened.
class ExplainCommand : public StoreCommand<const RouteStore> {
public:
    using StoreCommand::StoreCommand;
    // Exit status: 0 every file explained, 1 a file was missing or a folder, or
    // the routes file could not be loaded (built-in routes were used), 2 usage.
    int run(const QStringList& arguments);

    // Builds the freedesktop platform and the route store at its default place.
    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);

    static const char* usage();
};
