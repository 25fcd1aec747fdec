#include "core/engine/RulesTableRow.h"

#include "core/model/Route.h"

RulesTableRow::RulesTableRow(std::optional<Rule> rule)
    : m_rule(std::move(rule)) {}

RulesTableRow RulesTableRow::conditional(Rule rule) {
    return RulesTableRow(std::move(rule));
}

RulesTableRow RulesTableRow::defaultFallback() {
    return RulesTableRow(std::nullopt);
}

QList<RulesTableRow> rulesTableRows(const Route& route) {
    QList<RulesTableRow> rows;
    rows.reserve(route.rules.size() + 1);
    for (const Rule& rule : route.rules)
        rows.append(RulesTableRow::conditional(rule));
    rows.append(RulesTableRow::defaultFallback());
    return rows;
}
