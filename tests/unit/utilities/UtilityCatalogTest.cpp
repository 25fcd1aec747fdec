#include "core/platform/PlatformTexts.h"
#include "core/utilities/ExternalUtilityCatalog.h"
#include "core/utilities/FileManagerActions.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

namespace {

// A throw-away home with helpers to put files into it.
class ThrowAwayHome {
public:
    QString path(const QString& relative) const { return dir.filePath(relative); }
    void write(const QString& relative, const QByteArray& data, bool executable = false) {
        writeFile(path(relative), data, executable);
    }
    FileManagerActionFolders folders() const {
        return {{path("data"), path("system")}, path("config"), path("data"), {}};
    }
    QTemporaryDir dir;
};

TEST(ScriptsCatalog, ListsExecutablesScriptsAndWorkflowsButNothingHiddenOrInsideABundle) {
    ThrowAwayHome home;
    const QString folder = home.path("Scripts");
    home.write("Scripts/resize.sh", "#!/bin/sh\n", true);
    home.write("Scripts/notes.txt", "not executable\n");
    home.write("Scripts/Mail/Send.SCPT", "compiled");
    home.write("Scripts/Mail/deep/Archive.v2.applescript", "tell");
    home.write("Scripts/Mail/Convert.workflow/Contents/document.wflow", "x", true);
    home.write("Scripts/Mail/Convert.workflow/Contents/run.sh", "#!/bin/sh\n", true);
    home.write("Scripts/.hidden.sh", "#!/bin/sh\n", true);
    home.write("Scripts/.git/hook.sh", "#!/bin/sh\n", true);
    home.write("Scripts/apple.sh", "#!/bin/sh\n", true);
    home.write("Scripts/Own.scpt", "#!/bin/sh\n", true);
    home.write("bin/automator", "#!/bin/sh\n", true);
    home.write("bin/osascript", "#!/bin/sh\n", true);
    // A link back up must not make the walk loop.
    QFile::link(folder, folder + "/loop");
    const QList<CatalogEntry> programs = {
        {"apple.sh", "apple.sh"}, {"Own.scpt", "Own"}, {"resize.sh", "resize.sh"}};
    // AppleScript and workflows only with the tools that run them.
    const ExternalUtilityCatalog::Tools tools = {"", QFile::encodeName(home.path("bin/automator")),
                                                 QFile::encodeName(home.path("bin/osascript"))};
    const QList<CatalogEntry> all{programs[0],
                                  {"Mail/deep/Archive.v2.applescript", "Archive.v2"},
                                  {"Mail/Convert.workflow", "Convert"},
                                  programs[1],
                                  programs[2],
                                  {"Mail/Send.SCPT", "Send"}};
    EXPECT_EQ(ExternalUtilityCatalog::listScripts(folder, tools), (CatalogScan{all, std::nullopt}));
    EXPECT_EQ(ExternalUtilityCatalog::listScripts(folder, {"", "/nowhere/a", "/nowhere/o"}).entries,
              programs);
    // A missing folder is empty; no folder, or a file in its place, says so.
    EXPECT_EQ(ExternalUtilityCatalog::listScripts(home.path("missing")), CatalogScan{});
    EXPECT_EQ(ExternalUtilityCatalog::listScripts(std::nullopt),
              CatalogScan::failure("Scripts folder is unavailable."));
    EXPECT_EQ(ExternalUtilityCatalog::listScripts(folder + "/resize.sh"),
              CatalogScan::failure("Could not read the scripts folder."));
}

TEST(ScriptsCatalog, OpeningTheFolderCreatesAndRevealsItOrSaysWhyNot) {
    ThrowAwayHome home;
    FakePlatform fake;
    EXPECT_FALSE(ExternalUtilityCatalog::revealScriptsFolder(std::nullopt, fake.revealer));
    // A data folder that cannot hold folders: nothing revealed, and each
    // mode's alert says what to do.
    home.write("blocked", "x");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path("blocked")));
    ExternalUtilityCatalog::openScriptsFolder(true, fake.revealer, fake.alerts);
    ExternalUtilityCatalog::openScriptsFolder(false, fake.revealer, fake.alerts);
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Could not open scripts folder");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              "Application Scripts is unavailable. Use Install Scripts\u2026 on the Permissions "
              "tab first.");
    EXPECT_EQ(fake.alerts.shown[1].informativeText,
              PlatformTexts::text("Could not create or reveal ~/Library/Scripts.")
                  .arg(home.path("blocked") + "/Corvanta/Scripts"));
    EXPECT_TRUE(fake.revealer.requests.isEmpty());

    // Otherwise the folder is made and shown.
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path("fresh-data")));
    ExternalUtilityCatalog::openScriptsFolder(true, fake.revealer, fake.alerts);
    EXPECT_EQ(fake.alerts.shown.size(), 2);
    const QString folder = home.path("fresh-data/Corvanta/Application Scripts");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(fake.revealer.requests, (QList<QList<QUrl>>{{QUrl::fromLocalFile(folder)}}));
    qunsetenv("XDG_DATA_HOME");
}

TEST(ShortcutsCatalog, ToolFailuresHaveTheirMessages) {
    FakePlatform fake;
    const QByteArray tool = "/usr/bin/shortcuts";
    ProcessResult listed, notUTF8, failed;
    listed.exitCode = notUTF8.exitCode = 0;
    // Name and identifier lines, sorted stably by name; other lines are skipped.
    listed.standardOutput =
        "  Resize Image (ABC-1)  \nTwo (parts) here (ID-2)\nno closing (ID-3\n"
        "(starts with paren)\nempty id ()\n (ID-4)\napple (ID-5)\nApple (ID-6)\n\n";
    notUTF8.standardOutput = "Bad \xff (X)\n";
    failed.exitCode = 1;
    failed.standardOutput = "Zip (Z-1)\n";
    const QList<CatalogEntry> sorted{{"ID-5", "apple"},
                                     {"ID-6", "Apple"},
                                     {"ABC-1", "Resize Image"},
                                     {"ID-2", "Two (parts) here"}};
    const struct {
        ProcessResult result;
        CatalogScan expected;
    } cases[] = {
        {listed, {sorted, std::nullopt}},
        {notUTF8, {}},
        {failed, CatalogScan::failure("Shortcuts list failed. Is the Shortcuts app available?")},
        {FakeProcessRunner::launchFailure("No such file"),
         CatalogScan::failure("Could not run the Shortcuts command-line tool.")},
    };
    for (const auto& c : cases) {
        fake.processes.results[tool] = c.result;
        EXPECT_EQ(ExternalUtilityCatalog::listShortcuts(fake.processes, tool), c.expected);
    }
    // Waited for without a bound: the list is whatever the tool printed in full.
    ASSERT_FALSE(fake.processes.runs.isEmpty());
    const ProcessRequest& request = fake.processes.runs.last();
    EXPECT_EQ(request.arguments, (QList<QByteArray>{"list", "--show-identifiers"}));
    EXPECT_TRUE(request.waitForExit);
    EXPECT_EQ(request.timeout, std::nullopt);
}

TEST(ServicesCatalog, GathersEveryFileManagersActionsThatTakeFiles) {
    ThrowAwayHome home;
    home.write("data/kio/servicemenus/folders.desktop",
               "[Desktop Entry]\nMimeType=inode/directory;\nActions=a;\n"
               "[Desktop Action a]\nName=Folder Only\nExec=x %F\n",
               true);
    // Only an action for folders: nothing to list, said in the Linux wording.
    EXPECT_EQ(
        FileManagerActions::listServices(home.folders()),
        CatalogScan::failure(PlatformTexts::text("No file Services found in Library/Services.")));
    const QByteArray convert = "[Desktop Entry]\nMimeType=image/*;\nActions=png;jpg;\n"
                               "[Desktop Action png]\nName=To PNG\nExec=convert %F\n"
                               "[Desktop Action jpg]\nName=to JPEG\nExec=convert %F\n";
    // The user's own service menus count only when executable, and hide the
    // system's of the same name.
    home.write("data/kio/servicemenus/convert.desktop", convert, true);
    home.write("system/kio/servicemenus/convert.desktop",
               QByteArray(convert).replace("To PNG", "Hidden"));
    home.write("data/kio/servicemenus/plain.desktop",
               "[Desktop Entry]\n[Desktop Action p]\nName=Plain\nExec=p %F\n");
    home.write("data/kio/servicemenus/broken.desktop", "\x01\x02 binary junk", true);
    home.write("system/kio/servicemenus/system.desktop",
               "[Desktop Entry]\n[Desktop Action s]\nName=System Wide\nExec=s %U\n");
    home.write("data/nemo/actions/hash.nemo_action",
               "[Nemo Action]\nName=Checksum\nExec=sha256sum %F\nExtensions=any;\n");
    home.write("data/nemo/actions/off.nemo_action",
               "[Nemo Action]\nActive=false\nName=Off\nExec=x\n");
    home.write("config/Thunar/uca.xml",
               "<actions><action><name>Print</name><unique-id>7</unique-id>"
               "<command>lp %F</command><other-files/></action>"
               "<action><name>Here</name><unique-id>8</unique-id>"
               "<command>term %f</command><directories/></action>"
               "<action><name>Print Twice</name><unique-id>7</unique-id>"
               "<command>lp2 %F</command><other-files/></action></actions>");
    home.write("data/nautilus/scripts/Mail It", "#!/bin/sh\n", true);
    home.write("data/nautilus/scripts/Sub/Upload", "#!/bin/sh\n", true);
    home.write("data/nautilus/scripts/readme", "not executable");
    home.write("data/nautilus/scripts/.hidden", "#!/bin/sh\n", true);
    home.write("elsewhere/evil.desktop",
               "[Desktop Entry]\n[Desktop Action e]\nName=Evil\nExec=evil %F\n");

    const QString kde = home.path("data/kio/servicemenus/");
    const QList<CatalogEntry> listed{
        {kde + "broken.desktop", "broken.desktop"},
        {home.path("data/nemo/actions/hash.nemo_action"), "Checksum"},
        {home.path("data/nautilus/scripts/Mail It"), "Mail It"},
        // The file holds two actions (one for folders): the id keeps the key.
        {"7|" + home.path("config/Thunar/uca.xml"), "Print"},
        {home.path("system/kio/servicemenus/system.desktop"), "System Wide"},
        {"jpg|" + kde + "convert.desktop", "to JPEG"},
        {"png|" + kde + "convert.desktop", "To PNG"},
        {home.path("data/nautilus/scripts/Sub/Upload"), "Upload"},
    };
    EXPECT_EQ(FileManagerActions::listServices(home.folders()),
              (CatalogScan{listed, std::nullopt}));

    // The action an enabled Service names, by key, then by its name (more in the
    // runner's tests).
    const struct {
        QString id, name;
        std::optional<QString> found;
    } lookups[] = {
        {"png|" + kde + "convert.desktop", "x", "To PNG"},
        {"gone|" + kde + "convert.desktop", "to JPEG", "to JPEG"},
        {kde + "broken.desktop", "broken.desktop", std::nullopt},
        {home.path("data/nautilus/scripts/readme"), "readme", std::nullopt},
        {home.path("data/kio/servicemenus/plain.desktop"), "Plain", std::nullopt},
        {"png|" + home.path("system/kio/servicemenus/convert.desktop"), "Hidden", std::nullopt},
        // Two Thunar actions with one id: the first, as the checklist lists it.
        {"7|" + home.path("config/Thunar/uca.xml"), "Print Twice", "Print"},
        {"/etc/passwd", "passwd", std::nullopt},
        // A readable action file outside the file managers' folders is not run.
        {home.path("elsewhere/evil.desktop"), "Evil", std::nullopt},
    };
    for (const auto& l : lookups) {
        const auto found = FileManagerActions::find(l.id, l.name, home.folders());
        EXPECT_EQ(found ? std::optional(found->name) : std::nullopt, l.found) << qPrintable(l.id);
    }
}

} // namespace
