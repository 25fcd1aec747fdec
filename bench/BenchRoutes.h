#pragma once

#include "core/model/RouteStoreState.h"

// Routes for the benchmarks: `routeCount` routes ("ext0" ... extensions), each
// with `rulesPerRoute` rules of every condition kind, of which only the last
// one matches.
RouteStoreState benchRoutes(int routeCount, int rulesPerRoute);
