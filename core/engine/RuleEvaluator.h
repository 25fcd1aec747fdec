#pragma once

#include "core/engine/OpenContext.h"
#include "core/model/Rule.h"

#include <QList>
#include <QString>
#include <optional>

// Which rule applies to a file. Pure functions of the rules and the file's facts.
namespace RuleEvaluator {
bool predicateMatches(const Predicate& predicate, const OpenContext& context);
// An empty group (no predicates, no nested groups) never matches.
bool evaluateGroup(const PredicateGroup& group, const OpenContext& context);
// The first enabled rule whose conditions hold; none means the Default Rule applies.
std::optional<Rule> firstMatchingRule(const QList<Rule>& rules, const OpenContext& context);
// A rule named from outside: by exact id, else by a name that exactly one rule has.
std::optional<Rule> findRule(const QString& reference, const QList<Rule>& rules);
// Expands a leading "~", removes "." and ".." components, repeated and trailing "/".
QString standardizedPath(const QString& path);
} // namespace RuleEvaluator
