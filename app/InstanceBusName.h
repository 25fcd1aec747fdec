#pragma once

// Where the running instance answers on the session bus.
namespace InstanceBusName {
inline constexpr char service[] = "io.corvanta.Corvanta";
inline constexpr char objectPath[] = "/io/corvanta/Corvanta";
} // namespace InstanceBusName
