#include "app/ApplicationService.h"
#include "app/OpenArguments.h"
#include "core/model/LocalFileURL.h"
#include "core/routing/DialogAlerts.h"
#include "core/settings/SettingsWindowController.h"
#include "tests/support/DelegateTest.h"
#include "tests/support/RecordingActivation.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

namespace {

using AppDelegateTest = DelegateTest;

// Names that look like markup or links are shown as typed, in both texts.
TEST_F(AppDelegateTest, AlertsShowTheirTextsAsPlainText) {
    const QString message = "Could not open <b>Edit</b>";
    const QString informative = "<a href=\"https://example.org\">notes</a> &amp; more";
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            shown << label->text();
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << qPrintable(label->text());
            EXPECT_FALSE(label->openExternalLinks());
        }
        box->buttons().first()->click();
    });
    RecordingActivation activation;
    DialogAlerts alerts(&activation);
    EXPECT_EQ(alerts.runAlert(AlertRequest::warning(message, informative)), 0);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{informative, message}));
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

// A damaged routes file is reported once the tray icon shows, and only once:
// the change that finds it still damaged says nothing. (Edits on disk followed,
// and a damaged edit reported: OwnershipEndToEnd; never written over: the store's tests.)
TEST_F(AppDelegateTest, DamagedRoutesFileIsReportedOnceTheTrayShows) {
    bool trayShown = false;
    fake.alerts.answerer = [&](const AlertRequest&) {
        trayShown = delegate && delegate->tray().icon() && delegate->tray().icon()->isVisible();
        return 0;
    };
    start({}, "{ this is not json");
    EXPECT_EQ(fake.alerts.messages(), QStringList{"Could not load settings"});
    EXPECT_TRUE(trayShown);
    EXPECT_TRUE(menu().contains("Markdown")) << "the built-in routes still work";

    replaceFile(delegate->store().filePath(), "{ \"routes\": [ half");
    delegate->selectEditor(QStringLiteral("markdown"), alpha);
    QTest::qWait(3 * RoutesFileWatcher::settleMs);
    EXPECT_EQ(fake.alerts.shown.size(), 1) << "said once";
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
    const QList<QUrl> urls = OpenArguments::fromURIs(
        {"file:///tmp/%FF%FE%20a%0A.md", "relative/path.md", "x-corvanta://open?file=/a.md", ""});
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(LocalFileURL::nativePath(urls[0]), QByteArray("/tmp/\xff\xfe a\n.md"));
    EXPECT_EQ(urls[1].scheme(), QStringLiteral("x-corvanta"));
}
} // namespace
