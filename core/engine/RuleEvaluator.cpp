#include "core/engine/RuleEvaluator.h"

#include "core/engine/CaseInsensitiveText.h"

#include <QDir>

namespace {
// Every string condition compares through CaseInsensitiveText.
using CaseInsensitiveText::equal;

bool stringMatches(std::optional<StringMatchOperator> op, const QString& actual,
                   const QString& value) {
    switch (op.value_or(StringMatchOperator::is)) {
    case StringMatchOperator::is:
        return equal(actual, value);
    case StringMatchOperator::isNot:
        return !equal(actual, value);
    case StringMatchOperator::contains:
        return CaseInsensitiveText::contains(actual, value);
    }
    return false;
}

bool applyEquality(std::optional<EqualityOperator> op, bool matched) {
    return op.value_or(EqualityOperator::is) == EqualityOperator::is ? matched : !matched;
}

QString trimmedDots(QString value) {
    while (value.startsWith(QLatin1Char('.')))
        value.remove(0, 1);
    while (value.endsWith(QLatin1Char('.')))
        value.chop(1);
    return value;
}

QString filePath(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
}

bool isInsideFolder(const QString& filePath, const QString& folder) {
    if (filePath == folder)
        return true;
    // The root folder already ends in "/": appending another would match nothing.
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return filePath.startsWith(prefix);
}

bool creatorMatches(const Predicate& predicate, const OpenContext& context) {
    if (!context.creatorBundleID && !context.creatorName)
        return false;
    const QString bundleID = predicate.bundleID.value_or(QString());
    const QString name = predicate.stringValue.value_or(QString());
    if (!bundleID.isEmpty() && context.creatorBundleID && equal(*context.creatorBundleID, bundleID))
        return true;
    if (!name.isEmpty() && context.creatorName && equal(*context.creatorName, name))
        return true;
    return !bundleID.isEmpty() && context.creatorName && equal(*context.creatorName, bundleID);
}

bool countMatches(std::optional<ComparisonOperator> op, qint64 count, qint64 value) {
    switch (op.value_or(ComparisonOperator::is)) {
    case ComparisonOperator::is:
        return count == value;
    case ComparisonOperator::lessThan:
        return count < value;
    case ComparisonOperator::greaterThan:
        return count > value;
    }
    return false;
}
} // namespace

namespace RuleEvaluator {

QString standardizedPath(const QString& path) {
    QString expanded = path;
    if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/")))
        expanded.replace(0, 1, QDir::homePath());
    if (expanded.isEmpty())
        return expanded;
    return QDir::cleanPath(expanded);
}

bool predicateMatches(const Predicate& predicate, const OpenContext& context) {
    switch (predicate.kind) {
    case PredicateKind::fileName:
        return stringMatches(predicate.stringOperator, context.fileName,
                             predicate.stringValue.value_or(QString()));
    case PredicateKind::fileExtension:
        return stringMatches(predicate.stringOperator, context.fileExtension,
                             trimmedDots(predicate.stringValue.value_or(QString())));
    case PredicateKind::parentFolder: {
        const QString folder = standardizedPath(predicate.folderPath.value_or(QString()));
        const QString file = standardizedPath(filePath(context.url));
        return applyEquality(predicate.equalityOperator, isInsideFolder(file, folder));
    }
    case PredicateKind::creatorApp:
        return applyEquality(predicate.equalityOperator, creatorMatches(predicate, context));
    case PredicateKind::hotkey:
        return predicate.hotkeyName && !predicate.hotkeyName->isEmpty() &&
               context.activeHotkeyNames &&
               context.activeHotkeyNames->contains(*predicate.hotkeyName);
    case PredicateKind::runningEditors:
        return countMatches(predicate.comparisonOperator, context.runningEnabledBundleIDs.size(),
                            predicate.countValue.value_or(0));
    }
    return false;
}

bool evaluateGroup(const PredicateGroup& group, const OpenContext& context) {
    if (group.predicates.isEmpty() && group.groups.isEmpty())
        return false;
    const bool all = group.combine == PredicateGroupCombine::and_;
    for (const Predicate& predicate : group.predicates) {
        if (predicateMatches(predicate, context) != all)
            return !all;
    }
    for (const PredicateGroup& nested : group.groups) {
        if (evaluateGroup(nested, context) != all)
            return !all;
    }
    return all;
}

std::optional<Rule> firstMatchingRule(const QList<Rule>& rules, const OpenContext& context) {
    for (const Rule& rule : rules) {
        if (rule.enabled && evaluateGroup(rule.when, context))
            return rule;
    }
    return std::nullopt;
}

std::optional<Rule> findRule(const QString& reference, const QList<Rule>& rules) {
    if (reference.isEmpty())
        return std::nullopt;
    for (const Rule& rule : rules) {
        if (rule.id == reference)
            return rule;
    }
    std::optional<Rule> named;
    for (const Rule& rule : rules) {
        if (rule.name && *rule.name == reference) {
            if (named)
                return std::nullopt;
            named = rule;
        }
    }
    return named;
}

} // namespace RuleEvaluator
