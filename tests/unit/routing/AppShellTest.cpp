#include "app/ApplicationService.h"
#include "app/OpenArguments.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/AppDelegate.h"
#include "core/routing/LocalFileURL.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"
#include "tests/unit/routing/RoutingTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <memory>

namespace {
const QString org = QStringLiteral("custom.org");

class AppDelegateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_app_shell";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    // Starts the delegate over a routes file holding `routes` (or the given bytes).
    void start(const QList<Route>& routes, const QByteArray& bytes = {}) {
        fake.workspace.install(
            {QStringLiteral("io.corvanta.Corvanta"), "Corvanta", {}, {}, {}, {}});
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        const QString path = dir.filePath(QStringLiteral("routes.json"));
        writeRoutes(path, routes, bytes);
        delegate = std::make_unique<AppDelegate>(fake.platform(), pickers, utilities, path);
        delegate->applicationDidFinishLaunching();
    }
    // The menu's titles as the user sees them when it opens.
    QStringList menu() {
        QMenu* menu = delegate->statusItemMenu();
        Q_EMIT menu->aboutToShow();
        QStringList titles;
        for (const QAction* action : menu->actions())
            titles << (action->isSeparator() ? QStringLiteral("---") : action->text());
        return titles;
    }
    QList<QAction*> submenu(const QString& title) {
        menu();
        for (QAction* action : delegate->statusItemMenu()->actions()) {
            if (action->text() == title)
                return action->menu()->actions();
        }
        return {};
    }

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, MenuListsRoutesByNameThenTheCommandsWithUpdatesOnlyWithAHandler) {
    start({route("custom.b", "beta", "b"), route("custom.a", "Alpha", "a")});
    // Without an icon the tray would show nothing to click.
    EXPECT_FALSE(delegate->statusItem()->icon().isNull());
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
    delegate->statusItemMenu()->actions()[check]->trigger();
    EXPECT_EQ(checks, 1);
}

TEST_F(AppDelegateTest, RouteSubmenuChecksTheActiveEditorAndChangesIt) {
    Route r = route(org, "Org", "org");
    r.editors[0].opensFolder = true;
    start({r});
    QList<QAction*> items = submenu("Org");
    ASSERT_EQ(items.size(), 7);
    QStringList titles;
    for (const QAction* item : items)
        titles << (item->isChecked() ? "[x] " : "") + item->text();
    EXPECT_EQ(titles, (QStringList{"[x] Alpha", "Beta", "", "[x] Open Enclosing Folder", "",
                                   "Edit Rules…", "Make Corvanta default"}));
    items[1]->trigger();
    EXPECT_EQ(delegate->store().routeWithID(org)->activeBundleID, beta);
    // Rebuilt from the store when it opens again; the folder item follows Beta now.
    items = submenu("Org");
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked() || items[3]->isChecked());
    items[3]->trigger();
    EXPECT_TRUE(delegate->store().routeWithID(org)->editors[1].opensFolder);
}

TEST_F(AppDelegateTest, DamagedRoutesFileIsReportedOnceTheTrayIconShows) {
    bool trayShown = false;
    fake.alerts.answerer = [&](const AlertRequest&) {
        trayShown = delegate && delegate->statusItem() && delegate->statusItem()->isVisible();
        return 0;
    };
    start({}, "{ this is not json");
    EXPECT_EQ(fake.alerts.messages(), QStringList{"Could not load settings"});
    EXPECT_TRUE(trayShown);
    // The built-in routes still work.
    EXPECT_TRUE(menu().contains("Markdown"));
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

TEST(ApplicationService, UrisFromTheBusKeepTheirBytes) {
    const QList<QUrl> urls = ApplicationService::urlsFromURIs(
        {"file:///tmp/%FF%FE%20a%0A.md", "relative/path.md", "x-corvanta://open?file=/a.md", ""});
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(LocalFileURL::nativePath(urls[0]), QByteArray("/tmp/\xff\xfe a\n.md"));
    EXPECT_EQ(urls[1].scheme(), QStringLiteral("x-corvanta"));
}
} // namespace
