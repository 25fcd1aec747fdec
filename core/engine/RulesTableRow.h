#pragma once

#include "core/model/Rule.h"

#include <QList>
#include <optional>

struct Route;

// One row of a route's rules list: a conditional rule, or the Default Rule that ends it.
class RulesTableRow {
public:
    static RulesTableRow conditional(Rule rule);
    static RulesTableRow defaultFallback();

    bool isDefaultFallback() const { return !m_rule.has_value(); }
    // The rule of a conditional row; none for the Default Rule row.
    const std::optional<Rule>& rule() const { return m_rule; }

    bool operator==(const RulesTableRow&) const = default;

private:
    explicit RulesTableRow(std::optional<Rule> rule);
    std::optional<Rule> m_rule;
};

// The route's rules in stored order, then exactly one Default Rule row.
QList<RulesTableRow> rulesTableRows(const Route& route);
