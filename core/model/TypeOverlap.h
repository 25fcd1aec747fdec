#pragma once

#include "core/model/Route.h"

enum class TypeOverlapKind { exact, partial };

// An existing route that already covers a sample type in whole or in part.
struct TypeOverlap {
    Route route;
    TypeOverlapKind kind = TypeOverlapKind::exact;
    bool operator==(const TypeOverlap&) const = default;
};
