#include "core/routing/OpenRequestParser.h"
#include "tests/support/RoutingPipelineHarness.h"
#include "tests/support/RuleBuilders.h"

namespace {
namespace rb = RuleBuilders;
using Harness = PipelineHarness;

Route withoutEditors(Route r) {
    for (Editor& e : r.editors)
        e.enabled = false;
    r.activeBundleID = std::nullopt;
    return r;
}

// Whichever way a run ends, each file's access ends once, when the run is done.
TEST(RoutingPipeline, EachOutcomeOfOneFileIsShownAndTheFileReleased) {
    using Setup = std::function<void(Route&, Harness&)>;
    const auto tmpl = [](const char* text) {
        return [text](Route& md, Harness&) { md.editors[0].urlSchemeTemplate = text; };
    };
    const auto picker = [](bool utility) {
        return [utility](Route& md, Harness& h) {
            md.defaultActionKind = RuleActionKind::selectFromAllEditors;
            md.utilities[0].enabled = true; // copy the path
            // The entries: Alpha, Beta, then the utilities.
            h.pickers.answerer = [utility](const PickerRequest& r) {
                return std::optional(r.entries.value(utility ? 2 : 1));
            };
        };
    };
    const Setup gone = [](Route&, Harness& h) { h.fake.workspace.uninstall(alpha); };
    const Setup fails = [](Route&, Harness& h) {
        h.fake.workspace.openFailures.insert(FakeWorkspace::locationOf(alpha), "No such file");
    };
    // Corvanta takes web links too; it must not be handed its own links back.
    const Setup own = [](Route&, Harness& h) {
        h.fake.workspace.install({"io.corvanta.Corvanta", "Corvanta", {}, {}, {"https"}, {}});
        h.fake.workspace.schemeDefaults.insert("https", "io.corvanta.Corvanta");
    };
    const Setup cancel = [](Route& md, Harness&) {
        md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    };
    const Setup service = [&](Route& md, Harness& h) {
        cancel(md, h);
        md.enabledServices = {{QStringLiteral("svc"), QStringLiteral("Word Count")}};
        h.seams.externalFailure = QStringLiteral("Failed.");
        h.pickers.answerer = [](const PickerRequest& r) { return r.entries.last(); };
    };
    struct Row {
        const char* name;
        QString input; // a file created in the folder, or a URL
        Setup setup;
        QStringList expected;
    };
    const QList<Row> rows{
        {"unrouted",
         "a.rst",
         {},
         {"teach a.rst after 0 launches", "history a.rst  -  -  no route"}},
        {"editor not installed",
         "a.md",
         gone,
         {"Editor not found / Alpha is no longer installed. Rescan in Settings.",
          "history a.md  Markdown  Default Rule  failed: Alpha is no longer installed. Rescan in "
          "Settings."}},
        {"launch error",
         "a.md",
         fails,
         {"Alpha: a.md", "Could not open Alpha / No such file",
          "history a.md  Markdown  Default Rule  failed: Could not open Alpha: No such file"}},
        {"template not a URL",
         "a b.md",
         tmpl("x-n://o?n={filename}"),
         {"beep x1", "history a b.md  Markdown  Default Rule  failed: The URL template gave no "
                     "URL to open: x-n://o?n=a b.md"}},
        {"blank template",
         "a.md",
         tmpl(" \t\n"),
         {"Alpha: a.md", "history a.md  Markdown  Default Rule  opened in Alpha"}},
        {"web link, Corvanta the default", "https://a.org/", own, {"Browser: https://a.org/"}},
        {"picker cancelled",
         "a.md",
         cancel,
         {"history a.md  Markdown  Default Rule  picker: cancelled"}},
        {"picker chose an editor",
         "a.md",
         picker(false),
         {"Beta: a.md", "history a.md  Markdown  Default Rule  picker: chose Beta"}},
        {"picker chose a utility",
         "a.md",
         picker(true),
         {"copied a.md", "history a.md  Markdown  Default Rule  ran Copy POSIX Path"}},
        {"service failed",
         "a.md",
         service,
         {"Word Count / Failed.", "run Word Count on a.md after 0 launches",
          "history a.md  Markdown  Default Rule  failed: Failed."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Route md = markdown();
        if (row.setup)
            row.setup(md, h);
        h.use({md, plainText()});
        const QUrl url = row.input.contains(u':') ? QUrl(row.input) : h.files({row.input})[0];
        h.pipeline->routeURLs({url}, {}, SecurityScope::start(h.fake.workspace, {url}), {});
        EXPECT_EQ(h.outcome() + h.history, row.expected);
        EXPECT_EQ(h.fake.workspace.startedAccessing, QList<QUrl>{url});
        EXPECT_EQ(h.released(), QList<QUrl>{url});
        EXPECT_TRUE(h.pipeline->isIdle());
    }
}

TEST(RoutingPipeline, OneRunBatchesByRouteAndEditorAndAlertsAndTeachesOnce) {
    Route md = markdown();
    md.rules = {
        rb::rule(rb::allOf({rb::fileName(rb::SO::contains, "both")}), rb::openIn({beta, alpha}))};
    // "XLOG" as written by hand: a route's extensions match in any case.
    Harness h({md, plainText(), withoutEditors(route("custom.log", "Log", "XLOG")),
               withoutEditors(route("custom.note", "Note", "xnote"))});
    const QList<QUrl> urls =
        h.files({"t.txt", "both-1.md", "a.xlog", "u.txt", "c.md", "a.rst", "README", "b.xnote",
                 "b.RST", "c.org", "both-2.MD", "Makefile", "c.xlog"});
    h.pipeline->open(urls + QList<QUrl>{QUrl(QStringLiteral("https://example.org/"))});
    EXPECT_EQ(h.outcome(),
              (QStringList{"Browser: https://example.org/", "Alpha: t.txt u.txt",
                           "Beta: both-1.md both-2.MD", "Alpha: both-1.md c.md both-2.MD",
                           "No editor selected / Pick a Log editor from the Corvanta menu first.",
                           "No editor selected / Pick a Note editor from the Corvanta menu first.",
                           "teach a.rst after 4 launches", "teach c.org after 4 launches",
                           "no extension after 4 launches"}));
    // Opened in two editors, a file is still released once.
    EXPECT_EQ(h.released().count(urls[1]), 1);
    EXPECT_EQ(h.released().size(), urls.size() + 1);
}

// The first picker's files open in the editor chosen; the second's go to a shortcut.
TEST(RoutingPipeline, PickersBatchByRouteAndRuleAndShowOneAfterAnother) {
    Route md = markdown();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    md.enabledShortcuts = {{QStringLiteral("S-1"), QStringLiteral("Resize")}};
    md.rules = {rb::rule(rb::allOf({rb::fileName(rb::SO::contains, "pick")}),
                         rb::actionOf(rb::Kind::selectFromAllEditors))};
    Harness h({md, plainText()});
    h.pickers.answersLater = true;
    const QList<QUrl> urls = h.files({"pick-a.md", "other.md", "pick-c.md", "more.md"});
    h.pipeline->open(urls);
    ASSERT_EQ(h.pickers.requests.size(), 1);
    EXPECT_EQ(h.pickers.requests[0].title, QStringLiteral("Choose a Markdown editor"));
    h.pickers.answerer = [&](const PickerRequest& r) {
        return h.pickers.requests.size() == 1 ? r.entries.value(1) : r.entries.last();
    };
    h.pickers.answerNext();
    EXPECT_EQ(h.outcome(), QStringList{"Beta: pick-a.md pick-c.md"});
    EXPECT_EQ(h.pickers.requests.size(), 2); // the second only now
    EXPECT_FALSE(h.pipeline->isIdle());
    EXPECT_TRUE(h.released().isEmpty()) << "held while a picker shows";
    h.pickers.answerNext();
    EXPECT_EQ(h.outcome(), (QStringList{"Beta: pick-a.md pick-c.md",
                                        "run Resize on other.md more.md after 1 launches"}));
    EXPECT_EQ(h.released(), urls);
    EXPECT_TRUE(h.pipeline->isIdle());
    // A choice is for this run only.
    EXPECT_EQ(h.store->routeWithID(QStringLiteral("markdown"))->activeBundleID, alpha);
}

TEST(RoutingPipeline, PipelineGoneDuringAnAlertOrPickerStillReleasesEveryFile) {
    Harness h({withoutEditors(markdown()), plainText()});
    h.fake.alerts.answerer = [&h](const AlertRequest&) {
        h.pipeline.reset();
        return 0;
    };
    const QList<QUrl> urls = h.files({"a.md", "b.txt", "c.rst"});
    h.pipeline.get()->open(urls);
    EXPECT_EQ(h.outcome().size(), 1) << "nothing after the alert";
    EXPECT_EQ(h.released(), urls);

    Route md = markdown();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    Harness later({md, plainText()});
    later.pickers.answersLater = true;
    const QList<QUrl> picked = later.files({"a.md", "b.txt"});
    later.pipeline->open(picked);
    later.pipeline.reset();
    later.pickers.answerer = [](const PickerRequest& r) {
        return std::optional(r.entries.value(1));
    };
    later.pickers.answerNext();
    EXPECT_EQ(later.outcome(), QStringList{"Alpha: b.txt"});
    EXPECT_EQ(later.released(), picked);
}

TEST(RoutingPipeline, TheHistorySaysHowTheFilesCame) {
    Harness h;
    const QList<QUrl> urls = h.files({"a.md"});
    h.pipeline->routeGivenSelection(urls, {QStringLiteral("rule-B"), QStringLiteral("rule-A")});
    EXPECT_EQ(h.fake.workspace.startedAccessing, urls);
    EXPECT_EQ(h.released(), urls);
    h.pipeline->open({QUrl(urlSchemeTemplate(QStringLiteral("R9")) + urls[0].path())});
    EXPECT_EQ(h.fake.alerts.beeps, 1) << "the rule was not found";
    EXPECT_EQ(h.history,
              (QStringList{
                  "history a.md  Markdown  Default Rule  opened in Alpha  [rule-A, rule-B]",
                  "history a.md  Markdown  R9 (forced)  failed: The rule R9 was not found.",
              }));
}

TEST(RoutingPipeline, AnEditorConfirmedWithShiftOpensThenOffersARuleForTheFolder) {
    Route md = markdown();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    Harness h({md, plainText()});
    for (const bool shift : {false, true}) {
        h.pickers.answerer = [shift](const PickerRequest& r) {
            PickerChoice choice = r.entries.value(1);
            choice.makesRule = shift;
            return std::optional(choice);
        };
        h.pipeline->open(h.files({"a.md"}));
    }
    EXPECT_EQ(h.seams.events,
              QStringList{"offer markdown " + h.dir.path() + " " + beta + " after 2 launches"});
}

} // namespace
