#pragma once

#include "core/model/JsonNode.h"
#include "core/model/RouteStoreState.h"

#include <QByteArray>
#include <QJsonObject>
#include <variant>

// The routes file format: decoding with defaults and normalisations, and
// encoding with sorted keys and only the keys that are present.
namespace RoutesFileCodec {
inline constexpr qint64 currentVersion = 2;

std::variant<RouteStoreState, DecodeError> decode(const QByteArray& data);
QByteArray encode(const RouteStoreState& state);

Route decodeRoute(const JsonNode& node);
QJsonObject encode(const Route& route);
QJsonObject encode(const Editor& editor);
} // namespace RoutesFileCodec
