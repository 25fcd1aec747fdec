#include "core/routing/FileDecider.h"

#include "core/engine/OpenContextBuilder.h"
#include "core/engine/RuleEvaluator.h"
#include "core/model/LocalFileURL.h"
#include "core/model/RouteStore.h"

namespace {
bool countsRunningEditors(const PredicateGroup& group) {
    for (const Predicate& predicate : group.predicates) {
        if (predicate.kind == PredicateKind::runningEditors)
            return true;
    }
    for (const PredicateGroup& nested : group.groups) {
        if (countsRunningEditors(nested))
            return true;
    }
    return false;
}
} // namespace

FileDecider::FileDecider(const RouteStore& store, const RunningApplications& running,
                         const FileMetadata& metadata)
    : m_store(store)
    , m_running(running)
    , m_metadata(metadata) {}

bool FileDecider::needsRunningEditors(const Route& route, const OpenContext& context,
                                      const std::optional<QString>& ruleReference) {
    if (ruleReference) {
        const std::optional<Rule> named = RuleEvaluator::findRule(*ruleReference, route.rules);
        return named && named->action.kind == RuleActionKind::bestRunningEditor;
    }
    for (const Rule& rule : route.rules) {
        if (!rule.enabled)
            continue;
        // Whether this rule matches may depend on them.
        if (countsRunningEditors(rule.when))
            return true;
        if (RuleEvaluator::evaluateGroup(rule.when, context))
            return rule.action.kind == RuleActionKind::bestRunningEditor;
    }
    // The Default Rule offers running editors only while one runs.
    return route.defaultActionKind == RuleActionKind::selectFromRunningEditors;
}

FileDecision FileDecider::decide(const QUrl& file,
                                 const std::optional<QSet<QString>>& activeHotkeyNames,
                                 const std::optional<QString>& ruleReference) const {
    FileDecision result;
    result.route = m_store.routeForFile(file);
    if (!result.route)
        return result;
    const Route& route = *result.route;
    const OpenContextBuilder builder(m_running, m_metadata);
    OpenContext context = builder.makeFileFacts(file, activeHotkeyNames);
    if (needsRunningEditors(route, context, ruleReference)) {
        context.runningEnabledBundleIDs = builder.runningEnabledBundleIDs(route);
        result.runningEditorsConsulted = true;
    }
    result.decision = RoutingDecision::decide(route, context, ruleReference);
    result.context = std::move(context);
    return result;
}

RoutingHistoryEntry decidedEntry(const QUrl& url, const Route* route, const Rule* rule,
                                 RoutingHistoryEntry::Outcome outcome) {
    RoutingHistoryEntry entry;
    entry.path = LocalFileURL::nativePath(url);
    entry.outcome = outcome;
    if (route) {
        entry.routeID = route->id;
        entry.routeName = route->name;
    }
    if (rule) {
        entry.ruleID = rule->id;
        entry.ruleName = rule->name;
    }
    return entry;
}

RoutingHistoryEntry::EditorRef editorRef(const Editor& editor) {
    return {editor.bundleID, editor.name};
}

RoutingHistoryEntry plannedOpen(const QUrl& url, const Route& route,
                                const RoutingDecision& decision, EditorGroups& groups) {
    RoutingHistoryEntry entry = decidedEntry(url, &route, decision.rule ? &*decision.rule : nullptr,
                                             RoutingHistoryEntry::Outcome::opened);
    for (const Editor& editor : decision.editors) {
        entry.editors.append(editorRef(editor));
        groups.add(route.id, editor, url);
    }
    return entry;
}
