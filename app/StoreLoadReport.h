#pragma once

class Alerts;
class RouteStore;

// The one alert about a routes file that could not be loaded.
namespace StoreLoadReport {
// Shows "Could not load settings" with the store's message when its load
// failed; true when the store loaded.
bool report(const RouteStore& store, Alerts& alerts);
} // namespace StoreLoadReport
