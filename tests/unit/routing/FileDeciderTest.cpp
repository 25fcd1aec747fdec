#include "core/routing/FileDecider.h"
#include "core/engine/OpenContextBuilder.h"
#include "tests/support/RoutingPipelineHarness.h"
#include "tests/support/RuleBuilders.h"

namespace {
namespace rb = RuleBuilders;
using Kind = RuleActionKind;

// Counts how often the processes are walked.
class CountingRunning : public RunningApplications {
public:
    QSet<QString> running{beta};
    mutable int calls = 0;
    QSet<QString> runningBundleIDs() const override {
        ++calls;
        return running;
    }
};

Route markdownWith(QList<Rule> rules, Kind defaultKind = Kind::specificEditor) {
    Route r = markdown();
    r.rules = std::move(rules);
    r.defaultActionKind = defaultKind;
    return r;
}

Rule named(Rule r, const char* name) {
    r.name = QString::fromLatin1(name);
    return r;
}

const Predicate someRunning = rb::runningEditors(rb::CO::greaterThan, 0);
const Predicate notes = rb::fileName(rb::SO::contains, QStringLiteral("notes"));
} // namespace

// The decision with running editors looked up only when needed is the decision
// with them always looked up, and they are looked up only when it could differ.
TEST(FileDecider, LooksUpRunningEditorsOnlyWhenTheDecisionDependsOnThem) {
    const struct {
        const char* name;
        const char* file;
        const char* ruleReference; // empty: no rule named
        bool consulted;
        Route route;
    } cases[] = {
        {"Default Rule opens the active editor", "a.md", "", false, markdownWith({})},
        {"an earlier rule matches first", "notes.md", "", false,
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))})},
        {"a rule that counts running editors is reached", "draft.md", "", true,
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))})},
        {"counted in a nested group", "a.md", "", true,
         markdownWith(
             {rb::rule(rb::anyOf({rb::never}, {rb::allOf({someRunning})}), rb::openIn({beta}))})},
        {"a disabled rule is not reached", "a.md", "", false,
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({beta}), false)})},
        {"the matching rule picks the best running editor", "a.md", "", true,
         markdownWith({rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::bestRunningEditor))})},
        {"a picker of running editors asks when it is shown", "a.md", "", false,
         markdownWith(
             {rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::selectFromRunningEditors))})},
        {"the Default Rule offers running editors", "a.md", "", true,
         markdownWith({}, Kind::selectFromRunningEditors)},
        {"the Default Rule offers all editors", "a.md", "", false,
         markdownWith({}, Kind::selectFromAllEditors)},
        {"a named rule picks the best running editor", "a.md", "Best", true,
         markdownWith({named(
             rb::rule(rb::allOf({rb::never}), rb::actionOf(Kind::bestRunningEditor)), "Best")})},
        {"a named rule opens a listed editor, whatever counts running ones", "a.md", "Beta", false,
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({alpha})),
                       named(rb::rule(rb::allOf({rb::never}), rb::openIn({beta})), "Beta")})},
        {"an unknown rule name", "a.md", "Nothing", false,
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({beta}))})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineHarness h({c.route});
        const Route loaded = *h.store->routeWithID(QStringLiteral("markdown"));
        CountingRunning running;
        const QUrl file = QUrl::fromLocalFile(h.dir.filePath(QString::fromLatin1(c.file)));
        const std::optional<QString> reference = rb::opt(c.ruleReference);
        const auto decide = [&] {
            return FileDecider(*h.store, running, h.fake.metadata).decide(file, {}, reference);
        };
        // The decision made with every fact looked up.
        const auto decideWithEverything = [&] {
            const OpenContextBuilder builder(running, h.fake.metadata);
            return RoutingDecision::decide(loaded, builder.makeOpenContext(file, loaded, {}),
                                           reference);
        };
        const FileDecision decided = decide();
        EXPECT_EQ(decided.runningEditorsConsulted, c.consulted);
        EXPECT_EQ(running.calls, c.consulted ? 1 : 0);
        EXPECT_EQ(decided.decision, decideWithEverything());
        // With no editor running, the same holds.
        running.running.clear();
        EXPECT_EQ(decide().decision, decideWithEverything());
    }
}
