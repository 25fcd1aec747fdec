#include "core/model/Route.h"
#include "core/pickers/PickerCandidates.h"
#include "core/pickers/UtilityPerformer.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {
TEST(PickerCandidatesTest, EditorsThenEnabledUtilitiesThenExternalsInGroupOrder) {
    Route route;
    for (auto kind : allPickerUtilityKinds)
        route.utilities.append(PickerUtility::makeDefault(kind));
    route.utilities[1].enabled = false;
    // Stored out of group order: scripts and services before shortcuts.
    route.enabledScripts = {{"tools/wc.sh", "wc.sh"}};
    route.enabledServices = {{"svc", "Convert"}};
    route.enabledShortcuts = {{"s1", "Publish"}, {"s2", "Archive"}};
    QList<Editor> editors(2);
    editors[0].name = "Beta";
    editors[1].name = "Alpha";

    const QList<PickerChoice> choices = pickerCandidates(editors, route);
    QStringList labels;
    for (const PickerChoice& c : choices)
        labels.append(pickerChoiceLabel(c));
    EXPECT_EQ(labels, (QStringList{"Beta", "Alpha", "Copy POSIX Path", "Open Parent in Terminal",
                                   "Publish", "Archive", "Convert", "wc.sh"}));
    EXPECT_EQ(choices.value(3), PickerChoice{route.utilities[2]});
}

class UtilityPerformerTest : public testing::Test {
protected:
    FakePlatform fake;
    std::unique_ptr<UtilityPerformer> performer =
        std::make_unique<UtilityPerformer>(fake.platform());
    int ended = 0;

    // Whatever desktop runs the tests, the default terminal comes from the list.
    void SetUp() override { performer->setCurrentDesktops({}); }

    void perform(PickerUtilityKind kind, const QStringList& paths,
                 std::optional<QString> terminal = std::nullopt) {
        QList<QUrl> files;
        for (const QString& path : paths)
            files.append(QUrl::fromLocalFile(path));
        performer->performUtility({kind, true, terminal}, files, [this] { ++ended; });
    }
};

TEST_F(UtilityPerformerTest, CopiesPathsOnePerLineOrBeeps) {
    perform(PickerUtilityKind::copyPOSIXPath, {"/home/u/a.md", "/home/u/My Notes/b c.md", "/ü"});
    EXPECT_EQ(fake.clipboard.text, QStringLiteral("/home/u/a.md\n/home/u/My Notes/b c.md\n/ü"));
    fake.clipboard.accepts = false;
    perform(PickerUtilityKind::copyPOSIXPath, {"/a"});
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_EQ(ended, 2);
}

// "Open Parent in Terminal" must work out of the box on every desktop: the
// default terminal is the desktop's own when installed, else any known one; a
// terminal the user chose is kept. Each parent folder opens once.
TEST(DefaultTerminalTest, FirstInstalledTerminalTheDesktopsOwnFirst) {
    const QStringList scattered{"/b/1", "/a/2", "/b/3", "/a/./x/../4", "/5"};
    const struct {
        QStringList desktops, installed;
        std::optional<QString> chosen;
        std::optional<QString> launched; // none: "Terminal not found"
        QStringList files = {"/w/a.md"}, folders = {"/w"};
    } cases[] = {
        {{"KDE"}, {"org.kde.konsole", "org.gnome.Terminal"}, {}, "org.kde.konsole"},
        {{"XFCE"}, {"com.gexperts.Tilix", "xfce4-terminal"}, {}, "xfce4-terminal"},
        {{"GNOME"}, {"org.gnome.Terminal", "org.gnome.Console"}, {}, "org.gnome.Console"},
        {{"ubuntu", "GNOME"}, {"org.gnome.Terminal"}, {}, "org.gnome.Terminal"},
        {{"kde"}, {"xterm", "kitty"}, {}, "kitty"},
        {{}, {"debian-xterm"}, {}, "debian-xterm"},
        {{"KDE"}, {"org.kde.konsole", "foot"}, " foot\n", "foot"},
        {{"KDE"}, {"org.kde.konsole"}, " org.gnome.Terminal ", "org.kde.konsole"},
        {{"KDE"}, {"org.kde.konsole"}, " \n\t ", "org.kde.konsole"},
        {{"KDE"}, {}, {}, std::nullopt},
        {{}, {"foot"}, "foot", "foot", scattered, {"/b", "/a", "/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.desktops.join(':') + " / " + c.installed.join(',')));
        FakePlatform fake;
        for (const QString& id : c.installed)
            fake.workspace.install({id, id, {}, {}, {}, {}});
        UtilityPerformer performer(fake.platform());
        performer.setCurrentDesktops(c.desktops);
        PickerUtility utility = PickerUtility::makeDefault(PickerUtilityKind::openParentInTerminal);
        if (c.chosen)
            utility.terminalBundleID = c.chosen;
        QList<QUrl> files;
        for (const QString& path : c.files)
            files.append(QUrl::fromLocalFile(path));
        int ended = 0;
        performer.performUtility(utility, files, [&] { ++ended; });
        EXPECT_EQ(ended, 1);
        if (c.launched) {
            EXPECT_EQ(fake.terminals.launches,
                      (decltype(fake.terminals.launches){
                          {FakeWorkspace::locationOf(*c.launched), c.folders}}));
            EXPECT_TRUE(fake.alerts.shown.isEmpty());
        } else {
            EXPECT_TRUE(fake.terminals.launches.isEmpty());
            EXPECT_EQ(fake.alerts.messages(), QStringList{"Terminal not found"});
            EXPECT_TRUE(fake.alerts.shown.value(0).informativeText.contains(
                "(" + defaultTerminalBundleID() + ")"));
        }
    }
}

TEST_F(UtilityPerformerTest, MissingTerminalAndFailedLaunchAreReported) {
    int endedBeforeAlert = -1;
    fake.alerts.answerer = [&](const AlertRequest&) { return endedBeforeAlert = ended, 0; };
    perform(PickerUtilityKind::openParentInTerminal, {"/w/a.md"}, " gone.Term ");
    EXPECT_TRUE(fake.terminals.launches.isEmpty());
    EXPECT_EQ(endedBeforeAlert, 1); // the files are let go before the alert waits
    fake.terminals.failures.insert(fake.workspace.install({"foot", "foot", {}, {}, {}, {}}),
                                   "Failed to execute child process “foot”");
    perform(PickerUtilityKind::openParentInTerminal, {"/w/a.md"}, "foot");
    ASSERT_EQ(fake.alerts.messages(),
              (QStringList{"Terminal not found", "Could not open Terminal"}));
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              QStringLiteral("The selected terminal app (gone.Term) is no longer installed. "
                             "Pick another in Settings."));
    EXPECT_EQ(fake.alerts.shown[1].informativeText,
              QStringLiteral("Failed to execute child process “foot”"));

    // A failure arriving after the performer is gone shows nothing.
    fake.terminals.hold = true;
    perform(PickerUtilityKind::openParentInTerminal, {"/w/a.md"}, "foot");
    performer.reset();
    fake.terminals.pending.takeFirst()();
    EXPECT_EQ(fake.alerts.shown.size(), 2);
}
} // namespace
