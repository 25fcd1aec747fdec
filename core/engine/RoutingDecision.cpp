#include "core/engine/RoutingDecision.h"

#include "core/engine/ActionResolver.h"
#include "core/engine/RuleEvaluator.h"

namespace {
bool isPickerKind(RuleActionKind kind) {
    return kind == RuleActionKind::selectFromAllEditors ||
           kind == RuleActionKind::selectFromRunningEditors;
}

RoutingDecision picker(const std::optional<Rule>& rule, RuleActionKind kind) {
    RoutingDecision decision;
    decision.path = RoutingDecision::Path::picker;
    decision.rule = rule;
    decision.pickerKind = kind;
    return decision;
}

RoutingDecision editorsFor(const Route& route, const std::optional<Rule>& rule,
                           const OpenContext& context) {
    RoutingDecision decision;
    decision.rule = rule;
    decision.editors = ActionResolver::resolveEditors(route, rule, context.runningEnabledBundleIDs);
    decision.path =
        decision.editors.isEmpty() ? RoutingDecision::Path::noEditor : RoutingDecision::Path::open;
    return decision;
}
} // namespace

RoutingDecision RoutingDecision::decide(const Route& route, const OpenContext& context,
                                        const std::optional<QString>& ruleReference) {
    std::optional<Rule> rule;
    if (ruleReference) {
        rule = RuleEvaluator::findRule(*ruleReference, route.rules);
        if (!rule) {
            RoutingDecision decision;
            decision.path = Path::ruleNotFound;
            return decision;
        }
    } else {
        rule = RuleEvaluator::firstMatchingRule(route.rules, context);
    }

    if (rule) {
        if (isPickerKind(rule->action.kind))
            return picker(rule, rule->action.kind);
        return editorsFor(route, rule, context);
    }
    switch (route.defaultActionKind) {
    case RuleActionKind::selectFromAllEditors:
        return picker(std::nullopt, RuleActionKind::selectFromAllEditors);
    case RuleActionKind::selectFromRunningEditors:
        // With no enabled editor running, a running-editor picker would be empty.
        if (!context.runningEnabledBundleIDs.isEmpty())
            return picker(std::nullopt, RuleActionKind::selectFromRunningEditors);
        break;
    default:
        break;
    }
    return editorsFor(route, std::nullopt, context);
}
