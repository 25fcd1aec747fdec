#include "core/routing/EditorOpener.h"
#include "core/routing/LocalFileURL.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
// Holds launch completions back until the test releases them, as a real
// launch reports after the call has returned.
class LateWorkspace : public FakeWorkspace {
public:
    void openURLs(const QList<QUrl>& urls, const QString& location,
                  Completion completion) override {
        FakeWorkspace::openURLs(urls, location, [this, completion](const auto& error) {
            m_late.append([completion, error] { completion(error); });
        });
    }
    void finishAll() {
        const auto late = std::exchange(m_late, {});
        for (const auto& finish : late)
            finish();
    }

private:
    QList<std::function<void()>> m_late;
};

class EditorOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspace.install(
            {QStringLiteral("org.example.Alpha"), QStringLiteral("Alpha"), {}, {}, {}, {}});
        opener = std::make_unique<EditorOpener>(workspace, alerts,
                                                [] { return QStringLiteral("/home/ann"); });
    }
    static Editor editor(const QString& id = QStringLiteral("org.example.Alpha")) {
        Editor e;
        e.bundleID = id;
        e.name = QStringLiteral("Alpha");
        return e;
    }
    static QUrl file(const QByteArray& path) { return LocalFileURL::fromNativePath(path); }

    LateWorkspace workspace;
    FakeAlerts alerts;
    std::unique_ptr<EditorOpener> opener;
};

TEST_F(EditorOpenerTest, OpensTheBatchWithTheApplicationInOneCall) {
    const QList<QUrl> urls{file("/n/b.md"), file("/n/a.md")};
    opener->openFiles(urls, editor(), {urls[0]});
    ASSERT_EQ(workspace.openCalls().size(), 1);
    EXPECT_EQ(workspace.openCalls()[0].urls, urls);
    EXPECT_EQ(workspace.openCalls()[0].location,
              FakeWorkspace::locationOf(QStringLiteral("org.example.Alpha")));
    // Access ends when the launch reports, and only for the scoped file.
    EXPECT_TRUE(workspace.stoppedAccessing().isEmpty());
    EXPECT_EQ(opener->pendingLaunches(), 1);
    workspace.finishAll();
    EXPECT_EQ(workspace.stoppedAccessing(), QList<QUrl>{urls[0]});
    EXPECT_EQ(opener->pendingLaunches(), 0);
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(EditorOpenerTest, HostileNamesReachTheLaunchByteForByte) {
    const QList<QByteArray> names{
        "/t/with space.md", "/t/quote'\"s.md", "/t/new\nline.md", "/t/$(touch x).md",
        "/t/`id`.md",       "/t/100%.md",      "/t/-rf.md",       "/t/\xff\xfe latin1 \xe9.md",
        "/t/#?.md"};
    QList<QUrl> urls;
    for (const QByteArray& name : names)
        urls.append(file(name));
    opener->openFiles(urls, editor(), {});
    ASSERT_EQ(workspace.openCalls().size(), 1);
    const QList<QUrl>& passed = workspace.openCalls()[0].urls;
    ASSERT_EQ(passed.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(LocalFileURL::nativePath(passed[i]), names[i]);
}

TEST_F(EditorOpenerTest, FolderModePassesEachFilesFolderInOrder) {
    Editor folders = editor();
    folders.opensFolder = true;
    opener->openFiles({file("/p/x/a.md"), file("/p/x/b.md"), file("/c.md")}, folders, {});
    ASSERT_EQ(workspace.openCalls().size(), 1);
    EXPECT_EQ(workspace.openCalls()[0].urls, (QList<QUrl>{file("/p/x"), file("/p/x"), file("/")}));
}

TEST_F(EditorOpenerTest, MissingApplicationAlertsAndEndsAccess) {
    const QList<QUrl> urls{file("/n/a.md")};
    Editor gone = editor(QStringLiteral("org.example.Gone"));
    gone.name = QStringLiteral("Gone Editor");
    opener->openFiles(urls, gone, {urls[0]});
    EXPECT_TRUE(workspace.openCalls().isEmpty());
    EXPECT_EQ(workspace.stoppedAccessing(), urls);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].messageText, QStringLiteral("Editor not found"));
    EXPECT_EQ(alerts.shown[0].informativeText,
              QStringLiteral("Gone Editor is no longer installed. Rescan in Settings."));
}

TEST_F(EditorOpenerTest, LaunchFailureIsReportedWithTheSystemsDescription) {
    workspace.failOpeningWith(FakeWorkspace::locationOf(QStringLiteral("org.example.Alpha")),
                              QStringLiteral("Failed to execute child process “alpha”"));
    opener->openFiles({file("/n/a.md")}, editor(), {});
    EXPECT_TRUE(alerts.shown.isEmpty());
    workspace.finishAll();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].messageText, QStringLiteral("Could not open Alpha"));
    EXPECT_EQ(alerts.shown[0].informativeText,
              QStringLiteral("Failed to execute child process “alpha”"));
}

TEST_F(EditorOpenerTest, LateFailureAfterTheOpenerIsGoneShowsNothingButEndsAccess) {
    workspace.failOpeningWith(FakeWorkspace::locationOf(QStringLiteral("org.example.Alpha")),
                              QStringLiteral("boom"));
    const QUrl url = file("/n/a.md");
    opener->openFiles({url}, editor(), {url});
    opener.reset();
    workspace.finishAll();
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_EQ(workspace.stoppedAccessing(), QList<QUrl>{url});
}

TEST_F(EditorOpenerTest, TemplateModeOpensOneURLPerFileAndBeepsForBadOnes) {
    Editor notes = editor(QStringLiteral("org.example.NotInstalled"));
    notes.opensFolder = true; // the template decides
    notes.urlSchemeTemplate =
        QStringLiteral("  x-notes://open?f={folderpath}&n={filename.urlencoded}\n");
    const QList<QUrl> urls{file("/n/a b.md"), file("/with space/c.md"), file("/n/d.md")};
    opener->openFiles(urls, notes, {urls[1]});
    EXPECT_EQ(workspace.openedURLs(),
              (QList<QUrl>{QUrl(QStringLiteral("x-notes://open?f=/n&n=a%20b.md")),
                           QUrl(QStringLiteral("x-notes://open?f=/n&n=d.md"))}));
    EXPECT_EQ(alerts.beeps, 1);
    EXPECT_TRUE(workspace.openCalls().isEmpty());
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_EQ(workspace.stoppedAccessing(), QList<QUrl>{urls[1]});
}

TEST_F(EditorOpenerTest, TemplateURLNobodyTakesBeeps) {
    workspace.setOpenURLResult(false);
    Editor notes = editor();
    notes.urlSchemeTemplate = QStringLiteral("x-notes://{filename.urlencoded}");
    opener->openFiles({file("/a.md"), file("/b.md")}, notes, {});
    EXPECT_EQ(workspace.openedURLs().size(), 2);
    EXPECT_EQ(alerts.beeps, 2);
}

TEST_F(EditorOpenerTest, BlankTemplateMeansTheApplication) {
    Editor blank = editor();
    blank.urlSchemeTemplate = QStringLiteral(" \t\n ");
    opener->openFiles({file("/a.md")}, blank, {});
    EXPECT_EQ(workspace.openCalls().size(), 1);
    EXPECT_TRUE(workspace.openedURLs().isEmpty());
}

TEST_F(EditorOpenerTest, IdleHandlerRunsWhenTheLastLaunchReports) {
    int idle = 0;
    opener->setIdleHandler([&] { ++idle; });
    opener->openFiles({file("/a.md")}, editor(), {});
    opener->openFiles({file("/b.md")}, editor(), {});
    EXPECT_EQ(opener->pendingLaunches(), 2);
    workspace.finishAll();
    EXPECT_EQ(idle, 1);
}
} // namespace
