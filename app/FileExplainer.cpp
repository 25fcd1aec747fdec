#include "app/FileExplainer.h"

#include "core/engine/ActionResolver.h"
#include "core/model/RouteStore.h"
#include "core/pickers/PickerCandidates.h"
#include "core/platform/RunningApplications.h"
#include "core/routing/FileDecider.h"

QString FileExplanation::toString(Outcome outcome) {
    switch (outcome) {
    case Outcome::open:
        return QStringLiteral("open");
    case Outcome::picker:
        return QStringLiteral("picker");
    case Outcome::noEditor:
        return QStringLiteral("noEditor");
    case Outcome::unrouted:
        return QStringLiteral("unrouted");
    case Outcome::ruleNotFound:
        return QStringLiteral("ruleNotFound");
    }
    return {};
}

FileExplainer::FileExplainer(const RouteStore& store, const Platform& platform)
    : m_store(store)
    , m_platform(platform) {}

FileExplanation
FileExplainer::explain(const QUrl& file, const std::optional<QString>& ruleReference,
                       const std::optional<QSet<QString>>& activeHotkeyNames) const {
    const FileDecision decided = FileDecider(m_store, m_platform.running, m_platform.metadata)
                                     .decide(file, activeHotkeyNames, ruleReference);
    FileExplanation result;
    result.url = file;
    result.route = decided.route;
    if (!result.route)
        return result;
    const Route& route = *result.route;
    result.context = decided.context;
    result.runningEditorsConsulted = decided.runningEditorsConsulted;
    const RoutingDecision& decision = decided.decision;
    result.rule = decision.rule;
    switch (decision.path) {
    case RoutingDecision::Path::open:
        result.outcome = FileExplanation::Outcome::open;
        result.editors = decision.editors;
        break;
    case RoutingDecision::Path::noEditor:
        result.outcome = FileExplanation::Outcome::noEditor;
        break;
    case RoutingDecision::Path::ruleNotFound:
        result.outcome = FileExplanation::Outcome::ruleNotFound;
        break;
    case RoutingDecision::Path::picker: {
        result.outcome = FileExplanation::Outcome::picker;
        // As when the picker is about to be shown: running editors are asked
        // again, for a picker that offers only those.
        const bool runningOnly = decision.pickerKind == RuleActionKind::selectFromRunningEditors;
        const QList<Editor> candidates = ActionResolver::pickerEditorCandidates(
            route, decision.pickerKind,
            runningOnly ? m_platform.running.runningBundleIDs() : QSet<QString>());
        result.pickerEntries = pickerCandidates(candidates, route);
        result.pickerTitle = ActionResolver::pickerTitle(route, decision.pickerKind);
        result.pickerStyle =
            ActionResolver::pickerStyle(m_platform.preferences, m_platform.screenReader);
        break;
    }
    }
    return result;
}
