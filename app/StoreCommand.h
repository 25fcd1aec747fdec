#pragma once

#include "core/platform/Platform.h"

#include <QTextStream>

class RouteStore;

// What a command over the route store works with: its two streams, the
// platform and the store (`const RouteStore` for commands that only look).
template <typename Store> class StoreCommand {
public:
    StoreCommand(QTextStream& out, QTextStream& err, const Platform& platform, Store& store)
        : m_out(out)
        , m_err(err)
        , m_platform(platform)
        , m_store(store) {}

protected:
    QTextStream& m_out;
    QTextStream& m_err;
    Platform m_platform;
    Store& m_store;
};
