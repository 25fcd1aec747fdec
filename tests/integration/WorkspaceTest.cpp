#include "core/model/EditorDiscovery.h"
#include "platform/linux/DesktopWindowActivation.h"
#include "platform/linux/GioTypeSystem.h"
#include "platform/linux/GioWorkspace.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
QString entryPath(const QString& relative) {
    return LinuxSandbox::current().applicationsFolder() + '/' + relative;
}

// A completion that keeps what a call reported in `outcome`.
Workspace::Completion into(std::optional<QString>& outcome) {
    return [&outcome](const std::optional<QString>& error) { outcome = error; };
}

// Launches report from the event loop; waits for `outcome` to be reported.
bool reported(const std::optional<QString>& outcome) {
    return SandboxHelpers::waitUntil([&] { return outcome != "unreported"; }, 10000);
}

void writeEntry(const QString& relative, const QByteArray& contents) {
    ASSERT_TRUE(writeFile(entryPath(relative), contents));
}

// Opens a file with the application at `location`; what the launch reported.
std::optional<QString> launched(GioWorkspace& workspace, const QString& location) {
    std::optional<QString> outcome = "unreported";
    workspace.openURLs({QUrl::fromLocalFile("/tmp/x.md")}, location, into(outcome));
    EXPECT_TRUE(reported(outcome)) << qPrintable(location);
    return outcome;
}

TEST(GioWorkspace, DiscoveryFindsEntriesWithTheirRolesAndNamesButNotCorvanta) {
    const GioWorkspace workspace;
    ASSERT_EQ(workspace.ownBundleID(), "io.corvanta.Corvanta");
    // Corvanta's entry names Markdown, so leaving it out is discovery's doing.
    ASSERT_TRUE(workspace.editorRoleHandlers("text/markdown").contains("io.corvanta.Corvanta"));
    Route route;
    route.id = "markdown";
    route.extensions = {"md"};
    const GioTypeSystem types;
    QHash<QString, Editor> found;
    for (const Editor& editor : EditorDiscovery(types, workspace).rediscoverEditors(route).editors)
        found.insert(editor.bundleID, editor);
    // Not discovered when without a name; disabled when naming only a parent type.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"test.MarkdownEditor", "Markdown-Bearbeiter", true}, // localised: LANGUAGE=de
        {"kde-notes", "KDE Notes", true},                     // applications/kde/notes.desktop
        {"test.TextViewer", "Text Viewer", false},
        {"io.corvanta.Corvanta", nullptr, false},
        {"test.Hidden", nullptr, false},
        {"test.NotInstalled", nullptr, false}, // TryExec fails
    };
    for (const auto& [id, name, enabled] : cases) {
        ASSERT_EQ(found.contains(id), name != nullptr) << id;
        EXPECT_TRUE(!name || (found[id].name == name && found[id].enabled == enabled)) << id;
    }
    EXPECT_EQ(workspace.locationForBundleID("kde-notes"), entryPath("kde/notes.desktop"));
    EXPECT_EQ(workspace.bundleIDForLocation(entryPath("kde/notes.desktop")), "kde-notes");
}

TEST(GioWorkspace, ClaimAndLaunchReachGioAndReportFailures) {
    GioWorkspace workspace;
    std::optional<QString> claim = "unreported", claimElsewhere = claim;
    workspace.setDefaultApplication(entryPath("io.corvanta.Corvanta.desktop"), "text/markdown",
                                    into(claim));
    // GIO's answer after a claim: the routing end-to-end test asks `gio mime`.
    EXPECT_EQ(claim, std::nullopt);

    // A location that is no application fails with GIO's reason, never succeeds.
    // (Launches passing names byte for byte: LinuxFaults, through `corvanta open`.)
    const QString nowhere = "/nonexistent/app.desktop";
    workspace.setDefaultApplication(nowhere, "text/plain", into(claimElsewhere));
    for (const auto& failed : {claimElsewhere, launched(workspace, nowhere)})
        EXPECT_TRUE(failed && !failed->isEmpty() && failed != "unreported");
}
// An editor started over D-Bus answers its Open call only later: a refusal
// (here: nobody provides the name) must still reach the user.
TEST(GioWorkspace, BusActivatedEditorThatDoesNotAnswerIsReported) {
    writeEntry("test.BusOnly.desktop", "[Desktop Entry]\nType=Application\nName=Bus Only\n"
                                       "DBusActivatable=true\nExec=recorder-editor %F\n");
    GioWorkspace workspace;
    std::optional<QString> launch = "unreported";
    workspace.openURLs({QUrl::fromLocalFile("/tmp/x.md")}, entryPath("test.BusOnly.desktop"),
                       into(launch));
    EXPECT_EQ(launch, "unreported") << "reported before the bus answered";
    ASSERT_TRUE(reported(launch));
    EXPECT_TRUE(launch && !launch->isEmpty());
    QFile::remove(entryPath("test.BusOnly.desktop"));
}

// The token of the request that led to the launch goes to the editor, so that
// an editor already running may come to the front. Entries are kept between
// launches: an edited one is launched as edited, a removed one is gone.
TEST(GioWorkspace, LaunchesCarryTheRequestsTokenAndFollowEditsOfTheEntry) {
    const QString out = LinuxSandbox::current().root() + "/startup-env";
    GioWorkspace workspace;
    for (const std::optional<QString>& token :
         {std::optional<QString>("corvanta-1_TIME4242"), std::optional<QString>()}) {
        const QByteArray word = token ? "before" : "after-the-edit";
        // Each variable's value, or "unset".
        writeEntry("test.StartupEnv.desktop",
                   "[Desktop Entry]\nType=Application\nName=Startup Env\nExec=sh -c 'echo " + word +
                       " ${DESKTOP_STARTUP_ID-unset} ${XDG_ACTIVATION_TOKEN-unset} > " +
                       out.toUtf8() + "' sh %F\n");
        QFile::remove(out);
        workspace.setActivationTokenSource([token] { return token; });
        ASSERT_EQ(launched(workspace, entryPath("test.StartupEnv.desktop")), std::nullopt);
        const QByteArray passed = token ? token->toUtf8() : "unset";
        EXPECT_TRUE(SandboxHelpers::waitUntil([&] {
            return readFile(out) == word + ' ' + passed + ' ' + passed + '\n';
        })) << readFile(out).constData();
        EXPECT_EQ(workspace.locationForBundleID("test.StartupEnv"),
                  entryPath("test.StartupEnv.desktop"));
    }
    QFile::remove(entryPath("test.StartupEnv.desktop"));
    EXPECT_EQ(workspace.locationForBundleID("test.StartupEnv"), std::nullopt);
}
// The tray launches without forking itself: the editor must still inherit none
// of its descriptors (one opened without close-on-exec here stands in for
// those a parent leaves open), and must not stay a zombie once it exits.
TEST(GioWorkspace, AnEditorGetsOnlyTheStandardDescriptorsAndIsReaped) {
    const QString out = LinuxSandbox::current().root() + "/editor-fds";
    const int inheritable = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(inheritable, 3);
    // The shell lists its own descriptors; the listing itself holds the fourth.
    const QByteArray to = out.toUtf8();
    writeEntry("test.Descriptors.desktop",
               "[Desktop Entry]\nType=Application\nName=Descriptors\nExec=sh -c 'cd /proc/$$/fd "
               "&& set -- * && echo $$ \"$@\" > " +
                   to + ".part && mv " + to + ".part " + to + "' sh %F\n");
    GioWorkspace workspace;
    ASSERT_EQ(launched(workspace, entryPath("test.Descriptors.desktop")), std::nullopt);
    ::close(inheritable);
    ASSERT_TRUE(SandboxHelpers::waitUntil([&] { return QFile::exists(out); }));
    const QList<QByteArray> seen = readFile(out).trimmed().split(' ');
    EXPECT_EQ(seen.mid(1), (QList<QByteArray>{"0", "1", "2", "3"})) << readFile(out).constData();
    const QString process = "/proc/" + QString::fromLatin1(seen.first());
    EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return !QFile::exists(process); }))
        << "left a zombie: " << readFile(process + "/stat").constData();
    QFile::remove(out);
    QFile::remove(entryPath("test.Descriptors.desktop"));
}

// The message that ends the file manager's startup sequence names it exactly,
// quotes escaped, NUL-terminated as the startup notification protocol wants.
TEST(DesktopWindowActivation, KeepsTheRequestTokenAndEndsItsSequenceByName) {
    const std::pair<QString, QByteArray> rows[] = {
        {"thunar-12-host-corvanta-3_TIME98765",
         QByteArray("remove: ID=\"thunar-12-host-corvanta-3_TIME98765\"") + '\0'},
        {"a\"b\\c", QByteArray("remove: ID=\"a\\\"b\\\\c\"") + '\0'},
    };
    for (const auto& [id, expected] : rows)
        EXPECT_EQ(DesktopWindowActivation::removeMessage(id), expected) << qPrintable(id);

    DesktopWindowActivation activation;
    activation.setRequestToken("x_TIME1");
    activation.setRequestToken(QString());
    EXPECT_EQ(activation.requestToken(), std::nullopt) << "an empty token is none";
    // Without a display there is nothing to prepare, and nothing breaks.
    activation.setRequestToken("x_TIME2");
    activation.prepareToShow(0);
    EXPECT_EQ(activation.requestToken(), "x_TIME2");
}
} // namespace
