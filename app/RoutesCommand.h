#pragma once

#include "app/StoreCommand.h"

#include <QStringList>

// `corvanta routes [--json]`: the routes of the store, loaded as the application
// loads them, with their types, editors, rules and Default Rule.
class RoutesCommand : public StoreCommand<const RouteStore> {
public:
    using StoreCommand::StoreCommand;
    // Exit status: 0 listed, 1 the routes file could not be loaded (the built-in
    // routes were listed after the alert), 2 usage.
    int run(const QStringList& arguments);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();
};
