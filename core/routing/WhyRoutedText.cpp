#include "core/routing/WhyRoutedText.h"

#include "core/engine/RuleDescriptions.h"

#include <QStringList>

namespace {
QString editorNames(const QList<Editor>& editors) {
    QStringList names;
    for (const Editor& editor : editors)
        names.append(editor.name);
    return names.join(QStringLiteral(", "));
}
} // namespace

QString WhyRoutedText::recorded(const RoutingHistoryEntry& entry) {
    using Kind = RoutingArrival::Kind;
    QString how;
    switch (entry.arrival.kind) {
    case Kind::open:
        how = QStringLiteral("It was opened with Corvanta");
        break;
    case Kind::link:
        how = entry.arrival.ruleForced ? QStringLiteral("A link asked for a rule by name")
                                       : QStringLiteral("A link asked to open it");
        break;
    case Kind::hotkey:
        how = QStringLiteral("A rule hotkey took it from the file manager");
        break;
    case Kind::fileManagerAction:
        how = QStringLiteral("A file manager's action sent it");
        break;
    }
    QStringList lines{how + QStringLiteral(" on ") +
                      entry.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                      QLatin1Char('.')};
    if (entry.routeID.isEmpty()) {
        lines << QStringLiteral("No route took its type.");
    } else {
        lines << QStringLiteral("Route: ") + entry.routeName;
        lines << QStringLiteral("Decided by: ") + (entry.ruleID
                                                       ? entry.ruleName.value_or(*entry.ruleID)
                                                       : QStringLiteral("Default Rule"));
    }
    lines << QStringLiteral("Result: ") + entry.outcomeText();
    return lines.join(QLatin1Char('\n'));
}

QString WhyRoutedText::now(const FileDecision& decided, const RuleDescriptions& descriptions) {
    if (!decided.route)
        return QStringLiteral("No route takes its type now.");
    const Route& route = *decided.route;
    const RoutingDecision& decision = decided.decision;
    QStringList lines{QStringLiteral("Route: ") + route.name,
                      QStringLiteral("Decided by: ") +
                          (decision.rule ? descriptions.ruleSummary(*decision.rule, route.editors)
                                         : RuleDescriptions::defaultRuleSummary(route))};
    switch (decision.path) {
    case RoutingDecision::Path::open:
        lines << QStringLiteral("Result: would open in ") + editorNames(decision.editors);
        break;
    case RoutingDecision::Path::picker:
        lines << QStringLiteral("Result: would show the picker");
        break;
    case RoutingDecision::Path::noEditor:
        lines << QStringLiteral("Result: no editor is selected for ") + route.name;
        break;
    case RoutingDecision::Path::ruleNotFound:
        lines << QStringLiteral("Result: the rule was not found");
        break;
    }
    return lines.join(QLatin1Char('\n'));
}
