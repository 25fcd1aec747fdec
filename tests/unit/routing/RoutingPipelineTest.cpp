#include "core/routing/RoutingPipeline.h"
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "core/model/TypeTeacher.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/LocalFileURL.h"
#include "tests/support/FakePickerPorts.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QString alpha = QStringLiteral("org.example.Alpha");
const QString beta = QStringLiteral("org.example.Beta");
const QString browser = QStringLiteral("org.example.Browser");
const QString own = QStringLiteral("io.corvanta.Corvanta");

Rule rule(const QString& id, RuleActionKind kind, const QStringList& editors = {},
          const QString& nameContains = {}) {
    Rule r;
    r.id = id;
    r.when.id = id + QStringLiteral("-when");
    Predicate p;
    p.id = id + QStringLiteral("-p");
    p.kind = PredicateKind::fileName;
    p.stringOperator = StringMatchOperator::contains;
    p.stringValue = nameContains.isEmpty() ? id : nameContains;
    r.when.predicates = {p};
    r.action.kind = kind;
    if (!editors.isEmpty())
        r.action.bundleIDs = editors;
    return r;
}

Editor editor(const QString& id, const QString& name) {
    Editor e;
    e.bundleID = id;
    e.name = name;
    return e;
}

Route markdownRoute() {
    Route route;
    route.id = QStringLiteral("markdown");
    route.name = QStringLiteral("Markdown");
    route.extensions = {QStringLiteral("md"), QStringLiteral("markdown")};
    route.probeIdentifiers = {QStringLiteral("net.daringfireball.markdown")};
    route.editors = {editor(alpha, QStringLiteral("Alpha")), editor(beta, QStringLiteral("Beta"))};
    route.activeBundleID = alpha;
    route.normalizeUtilities();
    for (PickerUtility& u : route.utilities)
        u.enabled = false;
    return route;
}

Route plainTextRoute() {
    Route route = markdownRoute();
    route.id = QStringLiteral("plaintext");
    route.name = QStringLiteral("Plain Text");
    route.extensions = {QStringLiteral("txt"), QStringLiteral("text")};
    route.probeIdentifiers = {QStringLiteral("public.plain-text")};
    return route;
}

Route customRoute() {
    Route route = markdownRoute();
    route.id = QStringLiteral("custom.org");
    route.name = QStringLiteral("Org");
    route.extensions = {QStringLiteral("org")};
    route.probeIdentifiers = {};
    route.editors = {};
    route.activeBundleID = std::nullopt;
    route.isCustom = true;
    route.defaultActionKind = RuleActionKind::selectFromAllEditors;
    route.editors = {editor(QStringLiteral("org.example.OrgEditor"), QStringLiteral("Org Editor"))};
    route.editors[0].manual = true;
    return route;
}

class RoutingPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QStringList text{QStringLiteral("text/markdown"), QStringLiteral("text/plain")};
        fake.workspace.install(
            {own, QStringLiteral("Corvanta"), {}, {}, {QStringLiteral("https")}, {}});
        fake.workspace.install({alpha, QStringLiteral("Alpha"), text, {}, {}, {}});
        fake.workspace.install({beta, QStringLiteral("Beta"), text, {}, {}, {}});
        fake.workspace.install({QStringLiteral("org.example.OrgEditor"),
                                QStringLiteral("Org Editor"),
                                {},
                                {},
                                {},
                                {}});
        fake.workspace.install({browser,
                                QStringLiteral("Browser"),
                                {},
                                {},
                                {QStringLiteral("http"), QStringLiteral("https")},
                                {}});
        fake.workspace.setDefaultForScheme(QStringLiteral("https"), browser);
        fake.types.addType(QStringLiteral("text/x-org"), {QStringLiteral("org")},
                           {QStringLiteral("text/plain")}, QStringLiteral("Org document"));
        fake.types.addType(QStringLiteral("text/x-rst"), {QStringLiteral("rst")},
                           {QStringLiteral("text/plain")}, QStringLiteral("reStructuredText"));
        utilities = std::make_unique<UtilityPerformer>(fake.workspace, terminals, clipboard,
                                                       revealer, fake.alerts);
        useRoutes({markdownRoute(), plainTextRoute()});
    }

    void useRoutes(const QList<Route>& routes) {
        pipeline.reset();
        RouteStore::State state;
        state.routes = routes;
        QFile file(dir.filePath(QStringLiteral("routes.json")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(RoutesFileCodec::encode(state));
        file.close();
        store = std::make_unique<RouteStore>(fake.types, fake.workspace,
                                             dir.filePath(QStringLiteral("routes.json")));
        ASSERT_FALSE(store->loadFailed());
        RoutingPipeline::Hooks hooks;
        hooks.selectedFileURLs = [this] { return selection; };
        hooks.teachType = [this](const QUrl& url) {
            taught.append(url);
            openCallsWhenTeaching = fake.workspace.openCalls().size();
        };
        claimer = std::make_unique<DefaultHandlerClaimer>(fake.types, fake.workspace,
                                                          fake.preferences, fake.alerts);
        teacher = std::make_unique<TypeTeacher>(*store, fake.types, fake.alerts, *claimer,
                                                [](const QString&) {});
        hooks.showMissingExtensionAlert = [this] { teacher->showMissingExtensionAlert(); };
        hooks.runExternalUtility = [this](const ExternalUtilityRef& ref, const QList<QUrl>& urls) {
            externalRuns.append({ref, urls});
            return externalFailure;
        };
        pipeline =
            std::make_unique<RoutingPipeline>(fake.platform(), *store, pickers, *utilities, hooks);
    }

    QUrl file(const QString& name) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return LocalFileURL::fromNativePath(QFile::encodeName(path));
    }
    QUrl link(const QList<QUrl>& files, const std::optional<QString>& ruleRef = std::nullopt) {
        QString text = QStringLiteral("x-corvanta://open?");
        for (const QUrl& f : files)
            text += QStringLiteral("file=") + f.path(QUrl::FullyEncoded) + QLatin1Char('&');
        if (ruleRef)
            text += QStringLiteral("rule=") + *ruleRef;
        return QUrl(text);
    }
    static QString location(const QString& id) { return FakeWorkspace::locationOf(id); }
    QList<FakeWorkspace::OpenCall> calls() const { return fake.workspace.openCalls(); }

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    FakeClipboard clipboard;
    FakeFileRevealer revealer;
    FakeTerminalLauncher terminals;
    std::unique_ptr<UtilityPerformer> utilities;
    std::unique_ptr<RouteStore> store;
    std::unique_ptr<DefaultHandlerClaimer> claimer;
    std::unique_ptr<TypeTeacher> teacher;
    std::unique_ptr<RoutingPipeline> pipeline;
    QList<QUrl> selection;
    QList<QUrl> taught;
    qsizetype openCallsWhenTeaching = -1;
    QList<std::pair<ExternalUtilityRef, QList<QUrl>>> externalRuns;
    std::optional<QString> externalFailure;
};

TEST_F(RoutingPipelineTest, DoubleClickedFileOpensInTheActiveEditor) {
    const QUrl a = file(QStringLiteral("notes.md"));
    pipeline->open({a});
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{a}, location(alpha)}));
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    EXPECT_EQ(fake.alerts.beeps, 0);
    // Files the system handed in are released once opened.
    EXPECT_EQ(fake.workspace.stoppedAccessing(), QList<QUrl>{a});
    EXPECT_TRUE(pipeline->isIdle());
}

TEST_F(RoutingPipelineTest, FilesForTheSameEditorOpenInOneCallInRequestOrder) {
    Route md = markdownRoute();
    md.rules = {
        rule(QStringLiteral("r1"), RuleActionKind::specificEditor, {beta}, QStringLiteral("x")),
        rule(QStringLiteral("r2"), RuleActionKind::specificEditor, {beta}, QStringLiteral("y"))};
    useRoutes({md, plainTextRoute()});
    const QUrl c = file(QStringLiteral("c-x.md"));
    const QUrl a = file(QStringLiteral("a-y.md"));
    const QUrl b = file(QStringLiteral("b-x.MD"));
    pipeline->open({c, a, b});
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{c, a, b}, location(beta)}));
}

TEST_F(RoutingPipelineTest, GroupsOpenInTheOrderTheirFirstFileWasDecided) {
    Route md = markdownRoute();
    md.rules = {rule(QStringLiteral("both"), RuleActionKind::specificEditor, {beta, alpha})};
    useRoutes({md, plainTextRoute()});
    const QUrl t = file(QStringLiteral("t.txt"));
    const QUrl m = file(QStringLiteral("both.md"));
    const QUrl t2 = file(QStringLiteral("u.txt"));
    pipeline->open({t, m, t2});
    // Plain text with Alpha first, then Markdown with Beta, then Markdown with Alpha:
    // the same editor of different routes makes different groups.
    ASSERT_EQ(calls().size(), 3);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{t, t2}, location(alpha)}));
    EXPECT_EQ(calls()[1], (FakeWorkspace::OpenCall{{m}, location(beta)}));
    EXPECT_EQ(calls()[2], (FakeWorkspace::OpenCall{{m}, location(alpha)}));
    // Opened in two editors, the file is released after each.
    EXPECT_EQ(fake.workspace.stoppedAccessing().count(m), 2);
}

TEST_F(RoutingPipelineTest, NoEditorSelectedOnceForEachRoute) {
    Route md = markdownRoute();
    Route txt = plainTextRoute();
    for (Route* r : {&md, &txt}) {
        for (Editor& e : r->editors)
            e.enabled = false;
        r->activeBundleID = std::nullopt;
    }
    useRoutes({md, txt});
    const QList<QUrl> urls{file(QStringLiteral("a.md")), file(QStringLiteral("b.md")),
                           file(QStringLiteral("c.txt")), file(QStringLiteral("d.md"))};
    pipeline->open(urls);
    EXPECT_TRUE(calls().isEmpty());
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    QStringList texts;
    for (const AlertRequest& alert : fake.alerts.shown) {
        EXPECT_EQ(alert.messageText, QStringLiteral("No editor selected"));
        texts.append(alert.informativeText);
    }
    texts.sort();
    EXPECT_EQ(
        texts,
        (QStringList{QStringLiteral("Pick a Markdown editor from the Corvanta menu first."),
                     QStringLiteral("Pick a Plain Text editor from the Corvanta menu first.")}));
    EXPECT_EQ(fake.workspace.stoppedAccessing(), urls);
}

TEST_F(RoutingPipelineTest, PipelineGoneDuringAnAlertReleasesTheRestOfTheRun) {
    Route md = markdownRoute();
    for (Editor& e : md.editors)
        e.enabled = false;
    md.activeBundleID = std::nullopt;
    useRoutes({md, plainTextRoute()});
    fake.alerts.answerer = [this](const AlertRequest&) {
        pipeline.reset();
        return 0;
    };
    const QUrl m = file(QStringLiteral("a.md"));
    const QUrl t = file(QStringLiteral("b.txt"));
    const QUrl unknown = file(QStringLiteral("c.rst"));
    RoutingPipeline* running = pipeline.get();
    running->open({m, t, unknown});
    EXPECT_FALSE(pipeline);
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_TRUE(taught.isEmpty());
    EXPECT_EQ(fake.workspace.stoppedAccessing(), (QList<QUrl>{m, t, unknown}));
}

TEST_F(RoutingPipelineTest, SelectRuleAndSelectDefaultGiveTwoPickersOneAfterTheOther) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    md.rules = {rule(QStringLiteral("pick"), RuleActionKind::selectFromAllEditors)};
    md.defaultPreferenceOrder = {beta, alpha};
    useRoutes({md, plainTextRoute()});
    pickers.answersLater = true;
    const QUrl a = file(QStringLiteral("pick-a.md"));
    const QUrl b = file(QStringLiteral("other.md"));
    const QUrl c = file(QStringLiteral("pick-c.md"));
    pipeline->open({a, b, c});
    ASSERT_EQ(pickers.openPickers(), 1);
    EXPECT_FALSE(pipeline->isIdle());
    const PickerRequest first = pickers.requests[0];
    EXPECT_EQ(first.title, QStringLiteral("Choose a Markdown editor"));
    EXPECT_EQ(first.style, PickerStyle::radial);
    ASSERT_EQ(first.entries.size(), 2);
    EXPECT_EQ(first.entries[0].editor()->bundleID, beta);
    EXPECT_EQ(first.entries[1].editor()->bundleID, alpha);

    pickers.answers = {FakePickerPresenter::editorEntry(first, beta), std::nullopt};
    pickers.answerNext();
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{a, c}, location(beta)}));
    // The choice does not change the route's active editor.
    EXPECT_EQ(store->routeWithID(QStringLiteral("markdown"))->activeBundleID, alpha);

    ASSERT_EQ(pickers.openPickers(), 1);
    ASSERT_EQ(pickers.requests.size(), 2);
    pickers.answerNext(); // cancelled: nothing opens for b
    EXPECT_EQ(calls().size(), 1);
    EXPECT_TRUE(fake.workspace.stoppedAccessing().contains(b));
    EXPECT_TRUE(pipeline->isIdle());
}

TEST_F(RoutingPipelineTest, SelectFromRunningDefaultWithNothingRunningFallsBackToTheActiveEditor) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromRunningEditors;
    useRoutes({md, plainTextRoute()});
    const QUrl a = file(QStringLiteral("a.md"));
    pipeline->open({a});
    EXPECT_TRUE(pickers.requests.isEmpty());
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0].location, location(alpha));

    fake.running.running = {beta};
    pipeline->open({a});
    ASSERT_EQ(pickers.requests.size(), 1);
    EXPECT_EQ(pickers.requests[0].title, QStringLiteral("Choose a running Markdown editor"));
    ASSERT_EQ(pickers.requests[0].entries.size(), 1);
    EXPECT_EQ(pickers.requests[0].entries[0].editor()->bundleID, beta);
}

TEST_F(RoutingPipelineTest, PickerWithNothingToOfferReleasesTheFilesSilently) {
    Route md = markdownRoute();
    md.rules = {rule(QStringLiteral("running"), RuleActionKind::selectFromRunningEditors)};
    useRoutes({md, plainTextRoute()});
    const QUrl a = file(QStringLiteral("running.md"));
    pipeline->open({a});
    EXPECT_TRUE(pickers.requests.isEmpty());
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    EXPECT_EQ(fake.workspace.stoppedAccessing(), QList<QUrl>{a});
}

TEST_F(RoutingPipelineTest, PickerOffersUtilitiesAndPerformsTheChosenOne) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    md.utilities[0].enabled = true; // copy paths
    md.enabledShortcuts = {{QStringLiteral("s1"), QStringLiteral("Make PDF")}};
    useRoutes({md, plainTextRoute()});
    fake.preferences.setString(PreferenceKeys::editorPickerStyle, QStringLiteral("list"));
    const QUrl a = file(QStringLiteral("a.md"));
    const QUrl b = file(QStringLiteral("b.md"));
    pickers.answerer = [](const PickerRequest& request) { return request.entries[2]; };
    pipeline->open({a, b});
    ASSERT_EQ(pickers.requests.size(), 1);
    const PickerRequest& request = pickers.requests[0];
    EXPECT_EQ(request.style, PickerStyle::list);
    ASSERT_EQ(request.entries.size(), 4);
    EXPECT_TRUE(request.entries[2].utility());
    EXPECT_TRUE(request.entries[3].external());
    EXPECT_EQ(clipboard.text, LocalFileURL::nativePath(a) + '\n' + LocalFileURL::nativePath(b));
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_EQ(fake.workspace.stoppedAccessing(), (QList<QUrl>{a, b}));
}

TEST_F(RoutingPipelineTest, ExternalUtilityFailureIsReportedUnderItsName) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    md.enabledServices = {{QStringLiteral("svc"), QStringLiteral("Word Count")}};
    useRoutes({md, plainTextRoute()});
    externalFailure = QStringLiteral("The service did not answer.");
    pickers.answerer = [](const PickerRequest& request) { return request.entries.last(); };
    const QUrl a = file(QStringLiteral("a.md"));
    pipeline->open({a});
    ASSERT_EQ(externalRuns.size(), 1);
    EXPECT_EQ(externalRuns[0].first.name(), QStringLiteral("Word Count"));
    EXPECT_EQ(externalRuns[0].second, QList<QUrl>{a});
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, QStringLiteral("Word Count"));
    EXPECT_EQ(fake.alerts.shown[0].informativeText, QStringLiteral("The service did not answer."));
    EXPECT_EQ(fake.workspace.stoppedAccessing(), QList<QUrl>{a});
}

TEST_F(RoutingPipelineTest, PendingEntryOfARemovedRouteIsSkipped) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    useRoutes({md, plainTextRoute(), customRoute()});
    pickers.answersLater = true;
    const QUrl a = file(QStringLiteral("a.md"));
    const QUrl o = file(QStringLiteral("b.org"));
    pipeline->open({a, o});
    ASSERT_EQ(pickers.requests.size(), 1);
    EXPECT_EQ(pickers.requests[0].title, QStringLiteral("Choose a Markdown editor"));
    store->removeCustomRoute(QStringLiteral("custom.org"));
    pickers.answerNext();
    EXPECT_EQ(pickers.requests.size(), 1);
    EXPECT_TRUE(fake.workspace.stoppedAccessing().contains(o));
    EXPECT_TRUE(pipeline->isIdle());
}

TEST_F(RoutingPipelineTest, PickerAnsweredAfterThePipelineIsGoneReleasesEverything) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    useRoutes({md, plainTextRoute(), customRoute()});
    pickers.answersLater = true;
    const QUrl a = file(QStringLiteral("a.md"));
    const QUrl o = file(QStringLiteral("b.org"));
    pipeline->open({a, o});
    pipeline.reset();
    pickers.answers = {FakePickerPresenter::editorEntry(pickers.requests[0], alpha)};
    pickers.answerNext();
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_EQ(pickers.requests.size(), 1);
    EXPECT_EQ(fake.workspace.stoppedAccessing(), (QList<QUrl>{a, o}));
}

TEST_F(RoutingPipelineTest, WebLinkGoesToTheBrowserBeforeFilesAndTeaching) {
    const QUrl web(QStringLiteral("https://example.org/page"));
    const QUrl m = file(QStringLiteral("a.md"));
    const QUrl unknown = file(QStringLiteral("paper.rst"));
    pipeline->open({m, unknown, web});
    ASSERT_EQ(calls().size(), 2);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{web}, location(browser)}));
    EXPECT_EQ(calls()[1], (FakeWorkspace::OpenCall{{m}, location(alpha)}));
    EXPECT_EQ(taught, QList<QUrl>{unknown});
    EXPECT_EQ(openCallsWhenTeaching, 2);
    EXPECT_TRUE(fake.workspace.stoppedAccessing().contains(web));
    EXPECT_TRUE(fake.workspace.stoppedAccessing().contains(unknown));
}

TEST_F(RoutingPipelineTest, WebLinkWithNoReceiverIsDroppedSilently) {
    pipeline->open({QUrl(QStringLiteral("gopher://example.org/"))});
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_EQ(fake.alerts.beeps, 0);
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
}

TEST_F(RoutingPipelineTest, BrowserForWebLinkAvoidsHandingLinksBackToCorvanta) {
    const QUrl url(QStringLiteral("https://example.org/"));
    FakeWorkspace& ws = fake.workspace;
    const QString other = QStringLiteral("org.example.Other");
    ws.install({other, QStringLiteral("Other"), {}, {}, {QStringLiteral("https")}, {}});
    // Candidates in workspace order: Corvanta, Browser, Other.
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, std::nullopt, own), location(browser));
    ws.setDefaultForScheme(QStringLiteral("https"), own);
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, other, own), location(other));
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, std::nullopt, own), location(browser));
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, own, own), location(browser));
    // Without knowing its own id, Corvanta takes the default as it is.
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, std::nullopt, std::nullopt),
              location(own));
    ws.uninstall(browser);
    ws.uninstall(other);
    EXPECT_EQ(RoutingPipeline::browserForWebLink(url, ws, std::nullopt, own), std::nullopt);
}

TEST_F(RoutingPipelineTest, UnknownTypesAreTaughtOncePerExtensionAndType) {
    const QUrl r1 = file(QStringLiteral("a.rst"));
    const QUrl r2 = file(QStringLiteral("b.RST"));
    const QUrl org = file(QStringLiteral("c.org"));
    pipeline->open({r1, r2, org});
    EXPECT_EQ(taught, (QList<QUrl>{r1, org}));
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    EXPECT_EQ(fake.workspace.stoppedAccessing(), (QList<QUrl>{r1, r2, org}));
}

TEST_F(RoutingPipelineTest, FilesWithoutExtensionGetOneAlertPerRun) {
    const QUrl a = file(QStringLiteral("README"));
    const QUrl b = file(QStringLiteral("Makefile"));
    const QUrl r = file(QStringLiteral("a.rst"));
    pipeline->open({a, r, b});
    EXPECT_EQ(taught, QList<QUrl>{r});
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, QStringLiteral("No file extension"));
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              QStringLiteral("corvanta needs a filename extension to learn a new type."));
}

TEST_F(RoutingPipelineTest, LinkForcesItsRuleEvenWhenDisabled) {
    Route md = markdownRoute();
    Rule off = rule(QStringLiteral("R-ID"), RuleActionKind::specificEditor, {beta},
                    QStringLiteral("never"));
    off.enabled = false;
    off.name = QStringLiteral("Use Beta");
    md.rules = {off};
    useRoutes({md, plainTextRoute()});
    const QUrl a = file(QStringLiteral("a.md"));
    const QUrl b = file(QStringLiteral("b.md"));
    pipeline->open({link({a, b}, QStringLiteral("Use%20Beta"))});
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{a, b}, location(beta)}));
    // Links are not security-scoped: nothing to release.
    EXPECT_TRUE(fake.workspace.stoppedAccessing().isEmpty());
}

TEST_F(RoutingPipelineTest, ForcedRuleMissingInAFilesRouteSkipsThatFileWithABeep) {
    Route md = markdownRoute();
    md.rules = {
        rule(QStringLiteral("R"), RuleActionKind::specificEditor, {beta}, QStringLiteral("never"))};
    useRoutes({md, plainTextRoute()});
    const QUrl t = file(QStringLiteral("a.txt"));
    const QUrl m = file(QStringLiteral("b.md"));
    pipeline->open({link({t, m}, QStringLiteral("R"))});
    EXPECT_EQ(fake.alerts.beeps, 1);
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{m}, location(beta)}));
}

TEST_F(RoutingPipelineTest, RuleNameSharedByTwoRulesFindsNothingUnlessItIsAnId) {
    Route md = markdownRoute();
    Rule one = rule(QStringLiteral("one"), RuleActionKind::specificEditor, {beta},
                    QStringLiteral("never"));
    Rule two = rule(QStringLiteral("Same"), RuleActionKind::specificEditor, {alpha},
                    QStringLiteral("never"));
    one.name = QStringLiteral("Same");
    two.name = QStringLiteral("Same");
    md.rules = {one, two};
    Route txt = plainTextRoute();
    Rule three = rule(QStringLiteral("three"), RuleActionKind::specificEditor, {beta},
                      QStringLiteral("never"));
    Rule four = rule(QStringLiteral("four"), RuleActionKind::specificEditor, {beta},
                     QStringLiteral("never"));
    three.name = QStringLiteral("Dup");
    four.name = QStringLiteral("Dup");
    txt.rules = {three, four};
    useRoutes({md, txt});
    const QUrl m = file(QStringLiteral("a.md"));
    const QUrl t = file(QStringLiteral("a.txt"));
    pipeline->open({link({m}, QStringLiteral("Same")), link({t}, QStringLiteral("Dup"))});
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{m}, location(alpha)})); // by id
    EXPECT_EQ(fake.alerts.beeps, 1);
}

TEST_F(RoutingPipelineTest, LinksRunOnTheirOwnAndBeepOncePerLinkForRejectedPaths) {
    const QUrl a = file(QStringLiteral("a.md"));
    const QUrl b = file(QStringLiteral("b.md"));
    QDir().mkpath(dir.filePath(QStringLiteral("folder.md")));
    const QUrl missing =
        LocalFileURL::fromNativePath(QFile::encodeName(dir.filePath(QStringLiteral("gone.md"))));
    const QUrl folder =
        LocalFileURL::fromNativePath(QFile::encodeName(dir.filePath(QStringLiteral("folder.md"))));
    pipeline->open({link({a, missing, folder}),
                    QUrl(QStringLiteral("x-corvanta://open?file=relative.md")),
                    QUrl(QStringLiteral("x-corvanta://open?FILE=/tmp/a.md")),
                    QUrl(QStringLiteral("x-corvanta://elsewhere?file=/tmp/a.md")), link({b})});
    // One beep for the partly rejected link, one for the link of only a relative
    // path, one each for the two links that do not parse.
    EXPECT_EQ(fake.alerts.beeps, 4);
    ASSERT_EQ(calls().size(), 2);
    EXPECT_EQ(calls()[0].urls, QList<QUrl>{a});
    EXPECT_EQ(calls()[1].urls, QList<QUrl>{b});
}

TEST_F(RoutingPipelineTest, HotkeySelectionRoutesWithTheFiredNames) {
    Route md = markdownRoute();
    Rule hot = rule(QStringLiteral("hot"), RuleActionKind::specificEditor, {beta});
    Predicate p;
    p.id = QStringLiteral("hk");
    p.kind = PredicateKind::hotkey;
    p.hotkeyName = hot.hotkeyName();
    hot.when.predicates = {p};
    md.rules = {hot};
    useRoutes({md, plainTextRoute()});

    pipeline->routeSelection({hot.hotkeyName()});
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_TRUE(calls().isEmpty());

    const QUrl a = file(QStringLiteral("a.md"));
    selection = {a};
    pipeline->routeSelection({hot.hotkeyName()});
    ASSERT_EQ(calls().size(), 1);
    EXPECT_EQ(calls()[0], (FakeWorkspace::OpenCall{{a}, location(beta)}));
    EXPECT_EQ(fake.workspace.startedAccessing(), QList<QUrl>{a});
    EXPECT_EQ(fake.workspace.stoppedAccessing(), QList<QUrl>{a});

    // The same file double-clicked does not fire the hotkey rule.
    pipeline->open({a});
    EXPECT_EQ(calls().last().location, location(alpha));
}

TEST_F(RoutingPipelineTest, BecomesIdleOnlyAfterTheLastPickerCloses) {
    Route md = markdownRoute();
    md.defaultActionKind = RuleActionKind::selectFromAllEditors;
    useRoutes({md, plainTextRoute(), customRoute()});
    pickers.answersLater = true;
    int idle = 0;
    QObject::connect(pipeline.get(), &RoutingPipeline::becameIdle, [&] { ++idle; });
    pipeline->open({file(QStringLiteral("a.md")), file(QStringLiteral("b.org"))});
    pickers.answerNext();
    EXPECT_EQ(idle, 0);
    EXPECT_EQ(pickers.openPickers(), 1);
    pickers.answerNext();
    EXPECT_EQ(idle, 1);
}
} // namespace
