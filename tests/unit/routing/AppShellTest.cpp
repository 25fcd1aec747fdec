#include "app/ApplicationService.h"
#include "app/OpenArguments.h"
#include "core/history/RoutingHistory.h"
#include "core/model/LocalFileURL.h"
#include "core/platform/PlatformTexts.h"
#include "core/routing/DialogAlerts.h"
#include "core/settings/SettingsWindowController.h"
#include "tests/support/DelegateTest.h"
#include "tests/support/RecordingActivation.h"
#include "tests/support/RuleBuilders.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

namespace {
const QString org = QStringLiteral("custom.org");

class AppDelegateTest : public DelegateTest {
protected:
    // Starts the delegate over a routes file holding `routes` (or the given bytes).
    void start(const QList<Route>& routes, const QByteArray& bytes = {}) {
        fake.workspace.install(
            {QStringLiteral("io.corvanta.Corvanta"), "Corvanta", {}, {}, {}, {}});
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        writeRoutes(routesPath(), routes, bytes);
        launch(LaunchReason::login);
    }
    // The menu's titles as the user sees them when it opens.
    QStringList menu() {
        QStringList titles;
        for (const QAction* action : trayItems())
            titles << (action->isSeparator() ? QStringLiteral("---") : action->text());
        return titles;
    }
    QList<QAction*> submenu(const QString& title) {
        QAction* item = trayItem(title);
        return item ? item->menu()->actions() : QList<QAction*>();
    }
};

TEST_F(AppDelegateTest, MenuListsRoutesByNameThenTheCommandsWithUpdatesOnlyWithAHandler) {
    start({route("custom.b", "beta", "b"), route("custom.a", "Alpha", "a")});
    // Without an icon the tray would show nothing to click.
    EXPECT_FALSE(delegate->tray().icon()->icon().isNull());
    QStringList titles = menu();
    EXPECT_LT(titles.indexOf("Alpha"), titles.indexOf("beta"));
    EXPECT_GE(titles.indexOf("Alpha"), 0);
    EXPECT_EQ(titles.mid(titles.size() - 7),
              (QStringList{"---", "Route File Type…", "Settings…", "Show Onboarding…", "---",
                           "About Corvanta", "Quit Corvanta"}));
    int checks = 0;
    delegate->setCheckForUpdatesHandler([&] { ++checks; });
    titles = menu();
    const qsizetype check = titles.indexOf("Check for Updates…");
    ASSERT_GT(check, 0);
    EXPECT_EQ(titles[check - 1], "Show Onboarding…");
    delegate->tray().menu()->actions()[check]->trigger();
    EXPECT_EQ(checks, 1);
}

TEST_F(AppDelegateTest, RouteSubmenuShowsNamesAsTypedChecksTheActiveEditorAndChangesIt) {
    Route r = route(org, "Notes & Docs", "org");
    r.editors[0].opensFolder = true;
    r.editors[1].name = "Write & Read";
    start({r});
    EXPECT_TRUE(menu().contains("Notes && Docs"));
    QList<QAction*> items = submenu("Notes && Docs");
    ASSERT_EQ(items.size(), 7);
    QStringList titles;
    for (const QAction* item : items)
        titles << (item->isChecked() ? "[x] " : "") + item->text();
    EXPECT_EQ(titles, (QStringList{"[x] Alpha", "Write && Read", "", "[x] Open Enclosing Folder",
                                   "", "Edit Rules…", "Make Corvanta default"}));
    // The editors are one exclusive group: choosing another moves the mark.
    ASSERT_NE(items[0]->actionGroup(), nullptr);
    EXPECT_EQ(items[0]->actionGroup(), items[1]->actionGroup());
    items[1]->trigger();
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_EQ(delegate->store().routeWithID(org)->activeBundleID, beta);
    // Rebuilt from the store when it opens again; the folder item follows Beta now.
    items = submenu("Notes && Docs");
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked() || items[3]->isChecked());
    items[3]->trigger();
    EXPECT_TRUE(delegate->store().routeWithID(org)->editors[1].opensFolder);
}

TEST_F(AppDelegateTest, MakeDefaultWithoutAnInstalledEntryExplainsItself) {
    start({route(org, "Org", "org")});
    fake.workspace.uninstall(QStringLiteral("io.corvanta.Corvanta"));
    QList<QAction*> items = submenu("Org");
    QAction* claim = items.last();
    ASSERT_EQ(claim->text(), "Make Corvanta default");
    EXPECT_TRUE(claim->isEnabled());
    claim->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Not running from an app bundle");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              "Install Corvanta (scripts/run.sh installs it for your user), then start it from "
              "your applications menu.");
    EXPECT_TRUE(fake.workspace.defaultCalls().isEmpty());
}

// Names that look like markup or links are shown as typed, in both texts.
TEST_F(AppDelegateTest, AlertsShowTheirTextsAsPlainText) {
    const QString message = "Could not open <b>Edit</b>";
    const QString informative = "<a href=\"https://example.org\">notes</a> &amp; more";
    QStringList shown;
    QList<Qt::TextFormat> formats;
    bool linksOpen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            shown << label->text();
            formats << label->textFormat();
            linksOpen = linksOpen || label->openExternalLinks();
        }
        box->buttons().first()->click();
    });
    RecordingActivation activation;
    DialogAlerts alerts(&activation);
    EXPECT_EQ(alerts.runAlert(AlertRequest::warning(message, informative)), 0);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{informative, message}));
    EXPECT_EQ(formats, (QList<Qt::TextFormat>{Qt::PlainText, Qt::PlainText}));
    EXPECT_FALSE(linksOpen);
    // Shown with the request's token, on the box's own window.
    ASSERT_EQ(activation.prepared.size(), 1);
    EXPECT_NE(activation.prepared[0], 0u);
}

TEST_F(AppDelegateTest, SettingsAndOnboardingShowWithTheKeptActivationToken) {
    start({});
    RecordingActivation activation;
    delegate->setWindowActivation(&activation);
    delegate->openSettings();
    delegate->showOnboarding();
    EXPECT_EQ(activation.prepared, (QList<quintptr>{delegate->settingsWindow()->winId(),
                                                    delegate->onboardingWindow()->winId()}));
}

TEST_F(AppDelegateTest, DamagedRoutesFileIsReportedOnceTheTrayIconShows) {
    bool trayShown = false;
    fake.alerts.answerer = [&](const AlertRequest&) {
        trayShown = delegate && delegate->tray().icon() && delegate->tray().icon()->isVisible();
        return 0;
    };
    start({}, "{ this is not json");
    EXPECT_EQ(fake.alerts.messages(), QStringList{"Could not load settings"});
    EXPECT_TRUE(trayShown);
    // The built-in routes still work.
    EXPECT_TRUE(menu().contains("Markdown"));
}

// The routes file edited while the tray runs: the menu follows a good edit, a
// damaged one is reported once and its routes stay, a repair is followed again.
// (The store's own tests show the damaged file is never written over.)
TEST_F(AppDelegateTest, RoutesFileEditedOnDiskIsFollowedAndADamagedEditReportedOnce) {
    Route notes = route(org, "Org", "org");
    start({notes});
    const QString path = delegate->store().filePath();
    int changes = 0;
    delegate->store().addChangeHandler([&changes] { ++changes; });

    replaceFile(path, encodedRoutes({notes, route("custom.tex", "TeX", "tex")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu().contains("TeX"); }));
    EXPECT_EQ(changes, 1) << "the reload notifies like a change";

    replaceFile(path, "{ \"routes\": [ half");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.alerts.shown.isEmpty(); }));
    EXPECT_EQ(fake.alerts.messages(), QStringList{"Could not load settings"});
    EXPECT_TRUE(menu().contains("TeX")) << "the routes in memory stay";
    delegate->selectEditor(org, beta);
    QTest::qWait(3 * RoutesFileWatcher::settleMs);
    EXPECT_EQ(fake.alerts.shown.size(), 1) << "said once";

    replaceFile(path, encodedRoutes({notes}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->store().loadFailed(); }));
    EXPECT_FALSE(menu().contains("TeX"));
}

TEST_F(AppDelegateTest, RuleHotkeysAreLiveFromLaunchAndFollowTheStore) {
    Rule rule = RuleBuilders::rule(RuleBuilders::allOf({}), RuleBuilders::openIn({alpha}));
    rule.when.predicates = {RuleBuilders::hotkey(rule.hotkeyName())};
    Route r = route(org, "Org", "org");
    r.rules = {rule};
    const Shortcut keys{Qt::Key_E, Qt::MetaModifier | Qt::ShiftModifier};
    fake.shortcuts.setShortcut(keys, rule.hotkeyName());
    start({r});

    // Nothing is selected here: the press only beeps.
    EXPECT_EQ(fake.shortcuts.press(keys), 1);
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_TRUE(fake.workspace.openCalls().isEmpty());

    delegate->store().removeRule(org, rule.id);
    EXPECT_FALSE(fake.shortcuts.getShortcut(rule.hotkeyName()));
    EXPECT_TRUE(fake.shortcuts.handlers.isEmpty());
}

TEST_F(AppDelegateTest, RouteSubmenuOffersItsUtilitiesByKindAndRunsThemOnTheSelection) {
    Route r = route(org, "Org", "org");
    r.enabledShortcuts = {{"S-1", "Resize"}};
    r.enabledServices = {{"b|/menus/b.desktop", "Send & Share"}, {"/menus/a.desktop", "Archive"}};
    r.enabledScripts = {{"tool.sh", "tool.sh"}};
    start({r});
    const QList<QAction*> items = submenu("Org");
    QStringList titles;
    for (const QAction* item : items)
        titles << item->text();
    const QString services = PlatformTexts::text("Run Services");
    EXPECT_EQ(titles.mid(3),
              (QStringList{"Open Enclosing Folder", "Run Shortcuts", services, "Run Scripts", "",
                           "Edit Rules…", "Make Corvanta default"}));
    QStringList entries;
    QList<QAction*> utilities;
    for (int i = 4; i <= 6; ++i)
        for (QAction* entry : items[i]->menu()->actions()) {
            entries << entry->text();
            utilities << entry;
        }
    // Stored order within a kind; "&" shows as itself, not as a mnemonic.
    EXPECT_EQ(entries, (QStringList{"Resize", "Send && Share", "Archive", "tool.sh"}));

    // Nothing selected: the no-files alert, nothing started.
    QAction* resize = utilities[0];
    resize->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Resize");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              PlatformTexts::text(
                  "Select one or more files in Finder (or another file manager), then try again."));
    EXPECT_TRUE(fake.processes.runs.isEmpty());

    // With a selection the utility runs on it; a failure to start is reported.
    const QList<QUrl> selection = touchFiles(dir.path(), {"a b", "-c"});
    fake.frontmost.bundleID = QStringLiteral("thunar");
    fake.fileManagerSelection.selections[QStringLiteral("Thunar")] = selection;
    resize->trigger();
    ASSERT_EQ(fake.processes.runs.size(), 1);
    EXPECT_EQ(fake.processes.runs[0].arguments,
              (QList<QByteArray>{"run", "S-1", "-i", LocalFileURL::nativePath(selection[0]), "-i",
                                 LocalFileURL::nativePath(selection[1])}));
    EXPECT_EQ(fake.alerts.shown.size(), 1);
    fake.processes.results["/usr/bin/shortcuts"] = FakeProcessRunner::launchFailure("gone");
    resize->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    EXPECT_EQ(fake.alerts.shown[1].messageText, "Resize");
    EXPECT_EQ(fake.alerts.shown[1].informativeText,
              "Could not run shortcut \u201CResize\u201D: gone");
    // Each entry runs its own utility: these are not installed, and say so by name.
    for (QAction* entry : utilities.mid(1))
        entry->trigger();
    EXPECT_EQ(fake.alerts.messages().mid(2), (QStringList{"Send & Share", "Archive", "tool.sh"}));
}

TEST_F(AppDelegateTest, RecentlyRoutedListsTheLastTenFilesOnceAndOpensThemAgainOrWithAnEditor) {
    start({route(org, "Org", "org")});
    RoutingHistory history(fake.preferences, dir.filePath(QStringLiteral("history.jsonl")));
    delegate->setRoutingHistory(&history);
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("f%1.org").arg(i);
    const QList<QUrl> files = touchFiles(dir.path(), names);
    delegate->applicationOpenURLs(files);
    delegate->applicationOpenURLs({files[3]});
    QStringList titles;
    for (const QAction* file : submenu("Recently Routed"))
        titles << file->text();
    EXPECT_EQ(titles, (QStringList{"f3.org", "f11.org", "f10.org", "f9.org", "f8.org", "f7.org",
                                   "f6.org", "f5.org", "f4.org", "f2.org"}));
    const QList<QAction*> actions = submenu("Recently Routed").first()->menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[2]->text(), "Show Why…");
    const qsizetype before = fake.workspace.openCalls().size();
    actions[0]->trigger(); // Open Again: routed as a double-click, to the active editor
    actions[1]->menu()->actions().last()->trigger(); // Open With the route's second editor
    const auto calls = fake.workspace.openCalls().mid(before);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].location, FakeWorkspace::locationOf(alpha));
    EXPECT_EQ(calls[1].location, FakeWorkspace::locationOf(beta));
    EXPECT_EQ(calls[1].urls, QList<QUrl>{files[3]});
    EXPECT_EQ(history.entries().first().path, LocalFileURL::nativePath(files[3]));
}

TEST(OpenArguments, PathsKeepTheirBytesAndUrlsStayUrlsUnlessAFileHasThatName) {
    QTemporaryDir dir;
    ASSERT_TRUE(
        QFile(dir.filePath(QStringLiteral("x-corvanta:odd.md"))).open(QIODevice::WriteOnly));
    const QByteArray cwd = QFile::encodeName(dir.path());
    QList<QByteArray> got;
    for (const QUrl& url : OpenArguments::toURLs(
             {"sub/../n.md", "/a.md", "-n", "\xff\n'$(c)'", "", "x-corvanta://open?file=/a%20b.md",
              "https://a.org/?b#c", "x-corvanta:odd.md", "1abc:def"},
             cwd))
        got << (url.isLocalFile() ? LocalFileURL::nativePath(url) : url.toEncoded());
    EXPECT_EQ(got,
              (QList<QByteArray>{cwd + "/sub/../n.md", "/a.md", cwd + "/-n", cwd + "/\xff\n'$(c)'",
                                 "x-corvanta://open?file=/a%20b.md", "https://a.org/?b#c",
                                 cwd + "/x-corvanta:odd.md", cwd + "/1abc:def"}));
}

// The focus token comes in platform-data; the request's windows need it before
// the request is carried out.
using ApplicationServiceTest = WidgetTest;
TEST_F(ApplicationServiceTest, ActivationTokenIsTakenFromPlatformDataBeforeTheRequestRuns) {
    const std::pair<QVariantMap, std::optional<QString>> rows[] = {
        {{{"activation-token", "wl-1"}, {"desktop-startup-id", "x_TIME9"}}, "wl-1"},
        {{{"desktop-startup-id", "x_TIME9"}}, "x_TIME9"},
        {{{"activation-token", ""}, {"desktop-startup-id", "x_TIME9"}}, "x_TIME9"},
        {{{"activation-token", 42}}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& [data, expected] : rows)
        EXPECT_EQ(ApplicationService::activationToken(data), expected)
            << qPrintable(data.keys().join(','));

    QObject owner;
    QStringList events;
    auto* service = new ApplicationService(
        &owner, [&](const QList<QUrl>& urls) { events << "open " + urls.first().fileName(); },
        [&](const QString& action, const QVariantList&) { events << "action " + action; },
        [&](const std::optional<QString>& token) { events << "token " + token.value_or("-"); });
    service->Open({"file:///tmp/a.md"}, {{"activation-token", "wl-1"}});
    service->ActivateAction("settings", {}, {});
    service->Activate({{"desktop-startup-id", "x_TIME9"}});
    QCoreApplication::processEvents();
    EXPECT_EQ(events, (QStringList{"token wl-1", "token -", "token x_TIME9", "open a.md",
                                   "action settings"}));
}

TEST(ApplicationService, UrisFromTheBusKeepTheirBytes) {
    const QList<QUrl> urls = ApplicationService::urlsFromURIs(
        {"file:///tmp/%FF%FE%20a%0A.md", "relative/path.md", "x-corvanta://open?file=/a.md", ""});
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(LocalFileURL::nativePath(urls[0]), QByteArray("/tmp/\xff\xfe a\n.md"));
    EXPECT_EQ(urls[1].scheme(), QStringLiteral("x-corvanta"));
}
} // namespace
