#pragma once

#include "core/platform/Platform.h"

#include <QStringList>
#include <QTextStream>

class RouteStore;

// `corvanta explain [--json] [--rule REF] [--hotkey NAME]... PATH...`: what
// routing would do with each file, and why. Nothing is opened.
class ExplainCommand {
public:
    ExplainCommand(QTextStream& out, QTextStream& err, const Platform& platform,
                   const RouteStore& store);
    // Exit status: 0 every file explained, 1 a file was missing or a folder, or
    // the routes file could not be loaded (built-in routes were used), 2 usage.
    int run(const QStringList& arguments);

    // Builds the freedesktop platform and the route store at its default place.
    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);

    static const char* usage();

private:
    QTextStream& m_out;
    QTextStream& m_err;
    Platform m_platform;
    const RouteStore& m_store;
};
