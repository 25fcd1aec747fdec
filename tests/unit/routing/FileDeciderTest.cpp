#include "core/routing/FileDecider.h"
#include "core/engine/OpenContextBuilder.h"
#include "tests/support/FakePlatform.h"
#include "tests/unit/engine/RuleBuilders.h"
#include "tests/unit/routing/RoutingTestSupport.h"

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
        Route route;
        const char* file;
        std::optional<QString> ruleReference;
        bool consulted;
    } cases[] = {
        {"Default Rule opens the active editor", markdownWith({}), "a.md", {}, false},
        {"an earlier rule matches first",
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))}),
         "notes.md",
         {},
         false},
        {"a rule that counts running editors is reached",
         markdownWith({rb::rule(rb::allOf({notes}), rb::openIn({beta})),
                       rb::rule(rb::allOf({someRunning}), rb::openIn({alpha}))}),
         "draft.md",
         {},
         true},
        {"counted in a nested group",
         markdownWith(
             {rb::rule(rb::anyOf({rb::never}, {rb::allOf({someRunning})}), rb::openIn({beta}))}),
         "a.md",
         {},
         true},
        {"a disabled rule is not reached",
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({beta}), false)}),
         "a.md",
         {},
         false},
        {"the matching rule picks the best running editor",
         markdownWith({rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::bestRunningEditor))}),
         "a.md",
         {},
         true},
        {"a picker of running editors asks when it is shown",
         markdownWith(
             {rb::rule(rb::allOf({rb::always}), rb::actionOf(Kind::selectFromRunningEditors))}),
         "a.md",
         {},
         false},
        {"the Default Rule offers running editors",
         markdownWith({}, Kind::selectFromRunningEditors),
         "a.md",
         {},
         true},
        {"the Default Rule offers all editors",
         markdownWith({}, Kind::selectFromAllEditors),
         "a.md",
         {},
         false},
        {"a named rule picks the best running editor",
         markdownWith({named(
             rb::rule(rb::allOf({rb::never}), rb::actionOf(Kind::bestRunningEditor)), "Best")}),
         "a.md", QStringLiteral("Best"), true},
        {"a named rule opens a listed editor, whatever counts running ones",
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({alpha})),
                       named(rb::rule(rb::allOf({rb::never}), rb::openIn({beta})), "Beta")}),
         "a.md", QStringLiteral("Beta"), false},
        {"an unknown rule name",
         markdownWith({rb::rule(rb::allOf({someRunning}), rb::openIn({beta}))}), "a.md",
         QStringLiteral("Nothing"), false},
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

        const FileDecision decided =
            FileDecider(store, running, fake.metadata).decide(file, std::nullopt, c.ruleReference);
        EXPECT_EQ(decided.runningEditorsConsulted, c.consulted);
        EXPECT_EQ(running.calls, c.consulted ? 1 : 0);

        const Route loaded = *store.routeWithID(QStringLiteral("markdown"));
        const OpenContext everything =
            OpenContextBuilder(running, fake.metadata).makeOpenContext(file, loaded, std::nullopt);
        EXPECT_EQ(decided.decision, RoutingDecision::decide(loaded, everything, c.ruleReference));
        // With no editor running, the same holds.
        running.running.clear();
        const OpenContext noneRunning =
            OpenContextBuilder(running, fake.metadata).makeOpenContext(file, loaded, std::nullopt);
        EXPECT_EQ(FileDecider(store, running, fake.metadata)
                      .decide(file, std::nullopt, c.ruleReference)
                      .decision,
                  RoutingDecision::decide(loaded, noneRunning, c.ruleReference));
    }
}

TEST(FileDecider, AFileOfNoRouteHasNoFactsAndAsksNothing) {
    QTemporaryDir dir;
    FakePlatform fake;
    const QString path = dir.filePath(QStringLiteral("routes.json"));
    writeRoutes(path, {markdownWith({}, Kind::selectFromRunningEditors)});
    const RouteStore store(fake.types, fake.workspace, path);
    CountingRunning running;
    const FileDecision decided =
        FileDecider(store, running, fake.metadata)
            .decide(QUrl::fromLocalFile(dir.filePath("a.rst")), std::nullopt, std::nullopt);
    EXPECT_FALSE(decided.route);
    EXPECT_FALSE(decided.context);
    EXPECT_EQ(running.calls, 0);
}
