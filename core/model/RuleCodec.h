#pragma once

#include "core/model/Rule.h"

#include <QJsonObject>

class JsonNode;

// JSON form of rules inside the routes file. Decoding throws DecodeError.
namespace RuleCodec {
Rule decodeRule(const JsonNode& node);
PredicateGroup decodeGroup(const JsonNode& node);
// None for a retired predicate kind, which is dropped on load.
std::optional<Predicate> decodePredicate(const JsonNode& node);
RuleAction decodeAction(const JsonNode& node);

QJsonObject encode(const Rule& rule);
QJsonObject encode(const PredicateGroup& group);
QJsonObject encode(const Predicate& predicate);
QJsonObject encode(const RuleAction& action);
} // namespace RuleCodec
