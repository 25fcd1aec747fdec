#pragma once

// Where the running instance answers on the session bus.
namespace InstanceBusName {
inline constexpr char service[] = "io.corvanta.Corvanta";
inline constexpr char objectPath[] = "/io/corvanta/Corvanta";
// Where a request's platform data carries the leave to take focus, in the
// order they are looked at.
inline constexpr const char* activationTokenKeys[] = {"activation-token", "desktop-startup-id"};
} // namespace InstanceBusName
