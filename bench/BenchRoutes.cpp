#include "bench/BenchRoutes.h"

namespace {
Editor editor(int route, int index, bool enabled) {
    Editor e;
    e.bundleID = QStringLiteral("bench.Editor%1x%2").arg(route).arg(index);
    e.name = QStringLiteral("Editor %1").arg(index);
    e.enabled = enabled;
    // Added by hand, so that loading the store keeps them though none is installed.
    e.manual = true;
    return e;
}

Predicate predicateFor(int rule, const QString& extension) {
    Predicate p;
    p.id = makeRuleIdentifier();
    switch (rule % 5) {
    case 0:
        p.kind = PredicateKind::fileName;
        p.stringOperator = StringMatchOperator::contains;
        p.stringValue = QStringLiteral("never-%1").arg(rule);
        break;
    case 1:
        p.kind = PredicateKind::parentFolder;
        p.folderPath = QStringLiteral("~/Projects/never-%1/").arg(rule);
        break;
    case 2:
        p.kind = PredicateKind::creatorApp;
        p.stringValue = QStringLiteral("Creator %1").arg(rule);
        break;
    case 3:
        p.kind = PredicateKind::runningEditors;
        p.comparisonOperator = ComparisonOperator::greaterThan;
        p.countValue = 100;
        break;
    default:
        p.kind = PredicateKind::fileExtension;
        p.stringValue = extension + QStringLiteral("-not");
        break;
    }
    return p;
}
} // namespace

RouteStoreState benchRoutes(int routeCount, int rulesPerRoute) {
    RouteStoreState state;
    for (int r = 0; r < routeCount; ++r) {
        Route route;
        route.id = QStringLiteral("custom.ext%1").arg(r);
        route.name = QStringLiteral("Bench %1").arg(r);
        route.extensions = {QStringLiteral("ext%1").arg(r)};
        route.isCustom = true;
        for (int e = 0; e < 6; ++e)
            route.editors.append(editor(r, e, e % 3 != 2));
        route.activeBundleID = route.editors.first().bundleID;
        for (int i = 0; i < rulesPerRoute; ++i) {
            Rule rule;
            rule.id = makeRuleIdentifier();
            rule.when.id = makeRuleIdentifier();
            const bool last = i == rulesPerRoute - 1;
            if (last) {
                Predicate p;
                p.id = makeRuleIdentifier();
                p.kind = PredicateKind::fileExtension;
                p.stringValue = route.extensions.first();
                rule.when.predicates = {p};
            } else {
                rule.when.combine = PredicateGroupCombine::or_;
                rule.when.predicates = {predicateFor(i, route.extensions.first()),
                                        predicateFor(i + 1, route.extensions.first())};
                PredicateGroup nested;
                nested.id = makeRuleIdentifier();
                nested.predicates = {predicateFor(i + 2, route.extensions.first())};
                rule.when.groups = {nested};
            }
            rule.action.kind = RuleActionKind::bestRunningEditor;
            rule.action.preferenceOrder =
                QStringList{route.editors.at(1).bundleID, route.editors.at(0).bundleID};
            route.rules.append(rule);
        }
        route.normalizeUtilities();
        route.normalizePreferenceOrder();
        state.routes.append(route);
    }
    return state;
}
