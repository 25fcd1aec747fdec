#pragma once

#include <QString>
#include <array>

// The three kinds of external utility a route can enable, with their stored names.
enum class ExternalUtilityKind { shortcut, service, script };
inline constexpr std::array allExternalUtilityKinds{
    ExternalUtilityKind::shortcut, ExternalUtilityKind::service, ExternalUtilityKind::script};
QString toString(ExternalUtilityKind kind);
