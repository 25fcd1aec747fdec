#pragma once

#include "core/engine/OpenContext.h"
#include "core/model/Route.h"
#include "core/model/Rule.h"

#include <QList>
#include <QString>
#include <optional>

// Which path one file takes through the pipeline: opened in editors, offered in a
// picker, reported as having no editor, or skipped because the named rule is unknown.
struct RoutingDecision {
    enum class Path { open, picker, noEditor, ruleNotFound };

    Path path = Path::noEditor;
    // The matched or named rule; none means the Default Rule applied.
    std::optional<Rule> rule;
    // For Path::open: the editors to open the file in, in order.
    QList<Editor> editors;
    // For Path::picker: which editors the picker offers.
    RuleActionKind pickerKind = RuleActionKind::selectFromAllEditors;

    bool operator==(const RoutingDecision&) const = default;

    // With a rule reference, that rule applies whatever its conditions and enabled
    // state; without one, the first enabled rule that matches.
    static RoutingDecision decide(const Route& route, const OpenContext& context,
                                  const std::optional<QString>& ruleReference);
};
