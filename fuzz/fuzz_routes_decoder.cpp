// Whatever decodes must encode and decode again to an equal value.
#include "core/model/RoutesFileCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto first = RoutesFileCodec::decode(input);
    const auto* state = std::get_if<RouteStoreState>(&first);
    if (!state)
        return 0;
    const auto second = RoutesFileCodec::decode(RoutesFileCodec::encode(*state));
    const auto* again = std::get_if<RouteStoreState>(&second);
    RouteStoreState expected = *state;
    expected.version = RoutesFileCodec::currentVersion;
    for (Route& route : expected.routes)
        route.pathRules.reset(); // never written
    if (!again || !(*again == expected))
        std::abort();
    return 0;
}
