#include "core/routing/FileDecider.h"
#include "core/engine/OpenContextBuilder.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"

#include <QTemporaryDir>

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
    Route r = route(QStringLiteral("markdown"), QStringLiteral("Markdown"), "md");
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
        const char* ruleReference; // none: no rule named
        bool consulted;
        Route route;
    } cases[] = {
        {"Default Rule opens the active editor", "a.md", nullptr, false, markdownWith({})},
        {"an earlier rule matches first", "notes.md", nullptr, false,
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))})},
        {"a rule that counts running editors is reached", "draft.md", nullptr, true,
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))})},
        {"counted in a nested group", "a.md", nullptr, true,
         markdownWith(
             {rb::rule(rb::anyOf({rb::never}, {rb::allOf({someRunning})}), rb::openIn({beta}))})},
        {"a disabled rule is not reached", "a.md", nullptr, false,
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({beta}), false)})},
        {"the matching rule picks the best running editor", "a.md", nullptr, true,
         markdownWith({rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::bestRunningEditor))})},
        {"a picker of running editors asks when it is shown", "a.md", nullptr, false,
         markdownWith(
             {rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::selectFromRunningEditors))})},
        {"the Default Rule offers running editors", "a.md", nullptr, true,
         markdownWith({}, Kind::selectFromRunningEditors)},
        {"the Default Rule offers all editors", "a.md", nullptr, false,
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
        QTemporaryDir dir;
        FakePlatform fake;
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        const QString path = dir.filePath(QStringLiteral("routes.json"));
        writeRoutes(path, {c.route});
        const RouteStore store(fake.types, fake.workspace, path);
        CountingRunning running;
        const QUrl file = QUrl::fromLocalFile(dir.filePath(QString::fromLatin1(c.file)));
        const std::optional<QString> reference =
            c.ruleReference ? std::optional(QString::fromLatin1(c.ruleReference)) : std::nullopt;

        const FileDecision decided =
            FileDecider(store, running, fake.metadata).decide(file, std::nullopt, reference);
        EXPECT_EQ(decided.runningEditorsConsulted, c.consulted);
        EXPECT_EQ(running.calls, c.consulted ? 1 : 0);

        const Route loaded = *store.routeWithID(QStringLiteral("markdown"));
        const OpenContext everything =
            OpenContextBuilder(running, fake.metadata).makeOpenContext(file, loaded, std::nullopt);
        EXPECT_EQ(decided.decision, RoutingDecision::decide(loaded, everything, reference));
        // With no editor running, the same holds.
        running.running.clear();
        const OpenContext noneRunning =
            OpenContextBuilder(running, fake.metadata).makeOpenContext(file, loaded, std::nullopt);
        EXPECT_EQ(FileDecider(store, running, fake.metadata)
                      .decide(file, std::nullopt, reference)
                      .decision,
                  RoutingDecision::decide(loaded, noneRunning, reference));
    }
}
