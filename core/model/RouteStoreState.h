#pragma once

#include "core/model/Route.h"

#include <QList>

// The whole routes file.
struct RouteStoreState {
    qint64 version = 2;
    QList<Route> routes;
    bool operator==(const RouteStoreState&) const = default;
};
