#pragma once

#include <optional>
#include <string>

// The launcher as the bus starts it (`--dbus-service`), for a request made
// while no instance ran, usually a double-click. It takes the bus name at once,
// opens the first request's files itself when `ColdOpen` can, and starts the
// full program, which takes the name over; requests that reached the launcher
// meanwhile are passed on to it, with their answers passed back.
namespace BusActivatedStart {
// Serves until the full program owns the name, or ended without taking it;
// returns the exit status. None when the name could not be had (another
// process owns it, no session bus): then the launcher carries on as before.
std::optional<int> serve(const std::string& fullProgram, char** argv);
} // namespace BusActivatedStart
