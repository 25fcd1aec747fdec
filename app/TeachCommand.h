#pragma once

#include "core/platform/Platform.h"

#include <QStringList>
#include <QTextStream>

class RouteStore;

// `corvanta teach FILE`: teaches the type of a sample file, asking on the
// terminal where the application shows its dialogs.
class TeachCommand {
public:
    TeachCommand(QTextStream& out, QTextStream& err, const Platform& platform, RouteStore& store);
    // Exit status: 0 a route covers the type now, 1 nothing was taught (no
    // extension, cancelled, or the routes file could not be loaded), 2 usage or
    // a missing file.
    int run(const QStringList& arguments);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();

private:
    QTextStream& m_out;
    QTextStream& m_err;
    Platform m_platform;
    RouteStore& m_store;
};
