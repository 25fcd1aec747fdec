#pragma once

#include <QString>
#include <array>
#include <optional>

// The stored enumerations of rules. Each case is stored as its name.

enum class PredicateKind {
    fileName,
    fileExtension,
    parentFolder,
    creatorApp,
    hotkey,
    runningEditors
};
enum class StringMatchOperator { is, isNot, contains };
enum class EqualityOperator { is, isNot };
enum class ComparisonOperator { is, lessThan, greaterThan };
enum class PredicateGroupCombine { and_, or_ };
enum class RuleActionKind {
    specificEditor,
    bestRunningEditor,
    defaultEditor,
    selectFromAllEditors,
    selectFromRunningEditors
};

QString toString(PredicateKind value);
QString toString(StringMatchOperator value);
QString toString(EqualityOperator value);
QString toString(ComparisonOperator value);
QString toString(PredicateGroupCombine value);
QString toString(RuleActionKind value);

// fromString<E>(name) gives the case stored under `name`, none for any other string.
template <typename E> std::optional<E> fromString(const QString& name);
template <> std::optional<PredicateKind> fromString(const QString& name);
template <> std::optional<StringMatchOperator> fromString(const QString& name);
template <> std::optional<EqualityOperator> fromString(const QString& name);
template <> std::optional<ComparisonOperator> fromString(const QString& name);
template <> std::optional<PredicateGroupCombine> fromString(const QString& name);
template <> std::optional<RuleActionKind> fromString(const QString& name);

// All cases in declaration order, for pop-up menus.
inline constexpr std::array allStringMatchOperators{
    StringMatchOperator::is, StringMatchOperator::isNot, StringMatchOperator::contains};
inline constexpr std::array allEqualityOperators{EqualityOperator::is, EqualityOperator::isNot};
inline constexpr std::array allComparisonOperators{
    ComparisonOperator::is, ComparisonOperator::lessThan, ComparisonOperator::greaterThan};
