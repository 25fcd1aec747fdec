#include "core/pickers/UtilityPerformer.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {
QUrl file(const QString& path) {
    return QUrl::fromLocalFile(path);
}

PickerUtility utility(PickerUtilityKind kind, std::optional<QString> terminal = std::nullopt) {
    return PickerUtility{kind, true, std::move(terminal)};
}

class UtilityPerformerTest : public testing::Test {
protected:
    FakePlatform fake;
    FakeClipboard& clipboard = fake.clipboard;
    FakeFileRevealer& revealer = fake.revealer;
    FakeTerminalLauncher& terminals = fake.terminals;
    std::unique_ptr<UtilityPerformer> performer =
        std::make_unique<UtilityPerformer>(fake.platform());
    int accessEnded = 0;
    UtilityPerformer::EndAccess endAccess = [this] { ++accessEnded; };

    QString installTerminal(const QString& id) {
        return fake.workspace.install({id, id, {}, {}, {}, {}});
    }
};

TEST_F(UtilityPerformerTest, CopiesPathsOnePerLineWithoutTrailingLineFeed) {
    performer->performUtility(
        utility(PickerUtilityKind::copyPOSIXPath),
        {file("/home/u/a.md"), file("/home/u/My Notes/b c.md"), file("/tmp/ü.txt")}, endAccess);
    EXPECT_EQ(clipboard.text, QStringLiteral("/home/u/a.md\n/home/u/My Notes/b c.md\n/tmp/ü.txt"));
    EXPECT_EQ(fake.alerts.beeps, 0);
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, FailedClipboardWriteOnlyBeeps) {
    clipboard.accepts = false;
    performer->performUtility(utility(PickerUtilityKind::copyPOSIXPath), {file("/a")}, endAccess);
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, RevealsAllFilesInOneRequest) {
    const QList<QUrl> files{file("/a/x"), file("/b/y")};
    performer->performUtility(utility(PickerUtilityKind::revealInFinder), files, endAccess);
    ASSERT_EQ(revealer.requests.size(), 1);
    EXPECT_EQ(revealer.requests.first(), files);
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, OpensEachParentFolderOnceInFirstSeenOrder) {
    const QString location = installTerminal(QStringLiteral("org.kde.konsole"));
    performer->performUtility(
        utility(PickerUtilityKind::openParentInTerminal, QStringLiteral("org.kde.konsole")),
        {file("/w/b/one.md"), file("/w/a/two.md"), file("/w/b/three.md"),
         file("/w/a/./x/../four.md"), file("/root.md")},
        endAccess);
    ASSERT_EQ(terminals.launches.size(), 1);
    EXPECT_EQ(terminals.launches.first(),
              (FakeTerminalLauncher::Launch{location, {"/w/b", "/w/a", "/"}}));
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, BlankOrAbsentTerminalUsesTheDefault) {
    const QString location = installTerminal(defaultTerminalBundleID());
    for (const std::optional<QString>& id :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral("  \n\t "))}) {
        terminals.launches.clear();
        performer->performUtility(utility(PickerUtilityKind::openParentInTerminal, id),
                                  {file("/w/a.md")});
        ASSERT_EQ(terminals.launches.size(), 1);
        EXPECT_EQ(terminals.launches.first().location, location);
    }
    // Surrounding white space is not part of the id.
    const QString kitty = installTerminal(QStringLiteral("kitty"));
    terminals.launches.clear();
    performer->performUtility(
        utility(PickerUtilityKind::openParentInTerminal, QStringLiteral(" kitty\n")),
        {file("/w/a.md")});
    ASSERT_EQ(terminals.launches.size(), 1);
    EXPECT_EQ(terminals.launches.first().location, kitty);
}

TEST_F(UtilityPerformerTest, MissingTerminalEndsAccessThenAlertsAndOpensNothing) {
    int endedBeforeAlert = -1;
    fake.alerts.answerer = [&](const AlertRequest&) {
        endedBeforeAlert = accessEnded;
        return 0;
    };
    performer->performUtility(
        utility(PickerUtilityKind::openParentInTerminal, QStringLiteral(" gone.Term ")),
        {file("/w/a.md")}, endAccess);
    EXPECT_TRUE(terminals.launches.isEmpty());
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown.first().messageText, QStringLiteral("Terminal not found"));
    EXPECT_EQ(fake.alerts.shown.first().informativeText,
              QStringLiteral("The selected terminal app (gone.Term) is no longer installed. "
                             "Pick another in Settings."));
    EXPECT_EQ(endedBeforeAlert, 1);
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, FailedLaunchShowsTheSystemsDescription) {
    const QString location = installTerminal(QStringLiteral("foot"));
    terminals.failures.insert(location, QStringLiteral("Failed to execute child process “foot”"));
    performer->performUtility(
        utility(PickerUtilityKind::openParentInTerminal, QStringLiteral("foot")),
        {file("/w/a.md"), file("/v/b.md")}, endAccess);
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown.first().messageText, QStringLiteral("Could not open Terminal"));
    EXPECT_EQ(fake.alerts.shown.first().informativeText,
              QStringLiteral("Failed to execute child process “foot”"));
    EXPECT_EQ(accessEnded, 1);
}

TEST_F(UtilityPerformerTest, LateLaunchFailureAfterPerformerIsGoneShowsNothing) {
    const QString location = installTerminal(QStringLiteral("foot"));
    terminals.failures.insert(location, QStringLiteral("boom"));
    terminals.completeAtOnce = false;
    performer->performUtility(
        utility(PickerUtilityKind::openParentInTerminal, QStringLiteral("foot")),
        {file("/w/a.md")});
    performer.reset();
    terminals.finishAll();
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
}
} // namespace
