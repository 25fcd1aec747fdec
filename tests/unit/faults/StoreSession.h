#pragma once

#include "core/model/RouteStore.h"

#include <QList>
#include <functional>

// A session of changes that calls every operation of the route store once or
// more, on the built-in routes and on a route the session teaches itself. Run
// on two stores that start from the same routes, it must leave both with the
// same routes in memory, whether their writes succeed or not.
struct StoreStep {
    const char* name;
    std::function<void(RouteStore&)> run;
};

const QList<StoreStep>& storeSession();

// Installs the applications the session refers to.
struct FakePlatform;
void installSessionApplications(FakePlatform& fake);
