#include "core/model/RuleEnums.h"

#include <iterator>
#include <utility>

namespace {
template <typename E, std::size_t N>
QString nameOf(const std::pair<E, const char*> (&table)[N], E value) {
    for (const auto& [e, name] : table) {
        if (e == value)
            return QString::fromLatin1(name);
    }
    return {};
}

template <typename E, std::size_t N>
std::optional<E> caseOf(const std::pair<E, const char*> (&table)[N], const QString& name) {
    for (const auto& [e, n] : table) {
        if (name == QLatin1String(n))
            return e;
    }
    return std::nullopt;
}

const std::pair<PredicateKind, const char*> predicateKinds[] = {
    {PredicateKind::fileName, "fileName"},
    {PredicateKind::fileExtension, "fileExtension"},
    {PredicateKind::parentFolder, "parentFolder"},
    {PredicateKind::creatorApp, "creatorApp"},
    {PredicateKind::hotkey, "hotkey"},
    {PredicateKind::runningEditors, "runningEditors"}};
const std::pair<StringMatchOperator, const char*> stringOperators[] = {
    {StringMatchOperator::is, "is"},
    {StringMatchOperator::isNot, "isNot"},
    {StringMatchOperator::contains, "contains"}};
const std::pair<EqualityOperator, const char*> equalityOperators[] = {
    {EqualityOperator::is, "is"}, {EqualityOperator::isNot, "isNot"}};
const std::pair<ComparisonOperator, const char*> comparisonOperators[] = {
    {ComparisonOperator::is, "is"},
    {ComparisonOperator::lessThan, "lessThan"},
    {ComparisonOperator::greaterThan, "greaterThan"}};
const std::pair<PredicateGroupCombine, const char*> combines[] = {
    {PredicateGroupCombine::and_, "and"}, {PredicateGroupCombine::or_, "or"}};
const std::pair<RuleActionKind, const char*> actionKinds[] = {
    {RuleActionKind::specificEditor, "specificEditor"},
    {RuleActionKind::bestRunningEditor, "bestRunningEditor"},
    {RuleActionKind::defaultEditor, "defaultEditor"},
    {RuleActionKind::selectFromAllEditors, "selectFromAllEditors"},
    {RuleActionKind::selectFromRunningEditors, "selectFromRunningEditors"}};
} // namespace

QString toString(PredicateKind value) {
    return nameOf(predicateKinds, value);
}
QString toString(StringMatchOperator value) {
    return nameOf(stringOperators, value);
}
QString toString(EqualityOperator value) {
    return nameOf(equalityOperators, value);
}
QString toString(ComparisonOperator value) {
    return nameOf(comparisonOperators, value);
}
QString toString(PredicateGroupCombine value) {
    return nameOf(combines, value);
}
QString toString(RuleActionKind value) {
    return nameOf(actionKinds, value);
}

template <> std::optional<PredicateKind> fromString(const QString& name) {
    return caseOf(predicateKinds, name);
}
template <> std::optional<StringMatchOperator> fromString(const QString& name) {
    return caseOf(stringOperators, name);
}
template <> std::optional<EqualityOperator> fromString(const QString& name) {
    return caseOf(equalityOperators, name);
}
template <> std::optional<ComparisonOperator> fromString(const QString& name) {
    return caseOf(comparisonOperators, name);
}
template <> std::optional<PredicateGroupCombine> fromString(const QString& name) {
    return caseOf(combines, name);
}
template <> std::optional<RuleActionKind> fromString(const QString& name) {
    return caseOf(actionKinds, name);
}
