#include "core/model/LegacyPathRules.h"

#include <algorithm>

Rule LegacyPathRules::ruleFor(const PathRule& pathRule) {
    Predicate predicate;
    predicate.id = makeRuleIdentifier();
    predicate.kind = PredicateKind::parentFolder;
    predicate.equalityOperator = EqualityOperator::is;
    predicate.folderPath = pathRule.pathPrefix;

    Rule rule;
    rule.id = makeRuleIdentifier();
    rule.enabled = true;
    rule.when.id = makeRuleIdentifier();
    rule.when.combine = PredicateGroupCombine::and_;
    rule.when.predicates = {predicate};
    rule.action.kind = RuleActionKind::specificEditor;
    rule.action.bundleID = pathRule.bundleID;
    rule.action.bundleIDs = QStringList{pathRule.bundleID};
    return rule;
}

void LegacyPathRules::convert(Route& route) {
    if (route.pathRules && !route.pathRules->isEmpty() && route.rules.isEmpty()) {
        QList<PathRule> ordered = *route.pathRules;
        // The most specific folder must be tried first; equal lengths keep file order.
        std::stable_sort(ordered.begin(), ordered.end(), [](const PathRule& a, const PathRule& b) {
            return a.pathPrefix.length() > b.pathPrefix.length();
        });
        for (const PathRule& pathRule : ordered)
            route.rules.append(ruleFor(pathRule));
    }
    route.pathRules.reset();
}
