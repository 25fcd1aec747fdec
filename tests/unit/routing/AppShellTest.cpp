#include "app/ApplicationService.h"
#include "app/OpenArguments.h"
#include "core/model/LocalFileURL.h"
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

using AppDelegateTest = DelegateTest;

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
