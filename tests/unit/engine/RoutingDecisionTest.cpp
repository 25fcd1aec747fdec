#include "core/engine/RoutingDecision.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;
using Path = RoutingDecision::Path;

namespace {

const QString typora = "io.typora.Typora";
const QString zed = "dev.zed.Zed";

RoutingDecision pickerFor(std::optional<Rule> rule, RuleActionKind kind) {
    RoutingDecision d;
    d.path = Path::picker;
    d.rule = std::move(rule);
    d.pickerKind = kind;
    return d;
}

RoutingDecision openFor(std::optional<Rule> rule, QList<Editor> editors) {
    RoutingDecision d;
    d.path = Path::open;
    d.rule = std::move(rule);
    d.editors = std::move(editors);
    return d;
}

RoutingDecision noEditorFor(std::optional<Rule> rule) {
    RoutingDecision d;
    d.path = Path::noEditor;
    d.rule = std::move(rule);
    return d;
}

class RoutingDecisionTest : public ::testing::Test {
protected:
    Route route = markdownRoute();
    OpenContext context = contextFor("/w/notes.md");

    Editor named(const QString& id) const { return editorsForBundleIDs({id}, route.editors)[0]; }
    RoutingDecision decide(std::optional<QString> reference = std::nullopt) const {
        return RoutingDecision::decide(route, context, reference);
    }
};

TEST_F(RoutingDecisionTest, matchedSelectRulesShowAPicker) {
    for (RuleActionKind kind :
         {RuleActionKind::selectFromAllEditors, RuleActionKind::selectFromRunningEditors}) {
        const Rule r = rule(allOf({always()}), actionOf(kind));
        route.rules = {r};
        // Running editors play no part for a rule's picker.
        EXPECT_EQ(decide(), pickerFor(r, kind));
    }
}

TEST_F(RoutingDecisionTest, matchedRulesOfOtherKindsResolveEditors) {
    const Rule specific = rule(allOf({always()}), openIn({zed, typora}));
    route.rules = {specific};
    EXPECT_EQ(decide(), openFor(specific, {named(zed), named(typora)}));

    const Rule best = rule(allOf({always()}), actionOf(RuleActionKind::bestRunningEditor));
    route.rules = {best};
    context.runningEnabledBundleIDs = {zed};
    EXPECT_EQ(decide(), openFor(best, {named(zed)}));

    // Nothing qualifies and no active editor: the rule is kept for the report.
    context.runningEnabledBundleIDs = {};
    EXPECT_EQ(decide(), noEditorFor(best));
    route.activeBundleID = typora;
    EXPECT_EQ(decide(), openFor(best, {named(typora)}));
}

TEST_F(RoutingDecisionTest, defaultRuleRows) {
    const struct {
        const char* name;
        RuleActionKind kind;
        QSet<QString> running;
        std::optional<QString> active;
        RoutingDecision expected;
    } rows[] = {
        {"select from all: picker",
         RuleActionKind::selectFromAllEditors,
         {},
         std::nullopt,
         pickerFor(std::nullopt, RuleActionKind::selectFromAllEditors)},
        {"select from running with one running: picker",
         RuleActionKind::selectFromRunningEditors,
         {zed},
         typora,
         pickerFor(std::nullopt, RuleActionKind::selectFromRunningEditors)},
        {"select from running, none running: active editor",
         RuleActionKind::selectFromRunningEditors,
         {},
         typora,
         openFor(std::nullopt, {markdownRoute().editors[0]})},
        {"select from running, none running, no active editor",
         RuleActionKind::selectFromRunningEditors,
         {},
         std::nullopt,
         noEditorFor(std::nullopt)},
        {"open in editors",
         RuleActionKind::specificEditor,
         {},
         zed,
         openFor(std::nullopt, {markdownRoute().editors[1]})},
        {"open in editors without any",
         RuleActionKind::specificEditor,
         {zed},
         std::nullopt,
         noEditorFor(std::nullopt)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        route.defaultActionKind = row.kind;
        route.activeBundleID = row.active;
        context.runningEnabledBundleIDs = row.running;
        EXPECT_EQ(decide(), row.expected);
    }
}

TEST_F(RoutingDecisionTest, noMatchingRuleFallsToTheDefaultRule) {
    route.rules = {rule(allOf({always()}), openIn({zed}), false), rule(allOf({}), openIn({zed})),
                   rule(anyOf({never()}), openIn({zed}))};
    route.activeBundleID = typora;
    EXPECT_EQ(decide(), openFor(std::nullopt, {named(typora)}));
}

TEST_F(RoutingDecisionTest, namedRuleIsUsedWhateverItsConditions) {
    const Rule disabled = rule(allOf({never()}), openIn({zed}), false, QStringLiteral("Zed"));
    const Rule picker =
        rule(allOf({}), actionOf(RuleActionKind::selectFromRunningEditors), true, "Pick");
    const Rule matching = rule(allOf({always()}), openIn({typora}));
    route.rules = {matching, disabled, picker};

    EXPECT_EQ(decide(disabled.id), openFor(disabled, {named(zed)}));
    EXPECT_EQ(decide(QStringLiteral("Zed")), openFor(disabled, {named(zed)}));
    EXPECT_EQ(decide(QStringLiteral("Pick")),
              pickerFor(picker, RuleActionKind::selectFromRunningEditors));
    EXPECT_EQ(decide(), openFor(matching, {named(typora)}));
}

TEST_F(RoutingDecisionTest, unknownOrAmbiguousReferenceIsRuleNotFound) {
    route.rules = {rule(allOf({always()}), openIn({zed}), true, QStringLiteral("Twin")),
                   rule(allOf({always()}), openIn({typora}), true, QStringLiteral("Twin"))};
    route.activeBundleID = typora;
    RoutingDecision notFound;
    notFound.path = Path::ruleNotFound;
    EXPECT_EQ(decide(QStringLiteral("Twin")), notFound);
    EXPECT_EQ(decide(QStringLiteral("missing")), notFound);
    EXPECT_EQ(decide(QString()), notFound);
}

} // namespace
