#pragma once

#include "core/model/Route.h"

// Older routes files routed by folder prefix ("pathRules"). Those entries become
// ordinary rules when the file is read and are never written again.
class LegacyPathRules {
public:
    // Converts the route's path rules to rules when it has no rules of its own
    // (path rules beside existing rules are discarded); `pathRules` ends absent.
    static void convert(Route& route);
    // The rule that stands for one path rule: parent folder is the prefix.
    static Rule ruleFor(const PathRule& pathRule);
};
