#pragma once

#include "core/platform/Platform.h"

#include <QStringList>
#include <QTextStream>

class RouteStore;

// `corvanta routes [--json]`: the routes of the store, loaded as the application
// loads them, with their types, editors, rules and Default Rule.
class RoutesCommand {
public:
    RoutesCommand(QTextStream& out, QTextStream& err, const Platform& platform,
                  const RouteStore& store);
    // Exit status: 0 listed, 1 the routes file could not be loaded (the built-in
    // routes were listed after the alert), 2 usage.
    int run(const QStringList& arguments);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();

private:
    QTextStream& m_out;
    QTextStream& m_err;
    Platform m_platform;
    const RouteStore& m_store;
};
