#include "core/utilities/ExternalUtilityRunner.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

namespace {

using Args = QList<QByteArray>;
class UtilityRunnerTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }
    QByteArray bytes(const QString& relative) const { return QFile::encodeName(path(relative)); }
    void write(const QString& relative, const QByteArray& data, bool executable = false) {
        writeFile(path(relative), data, executable);
    }
    ExternalUtilityRunner runner(ExternalUtilityRunner::Tools tools = {}) {
        return ExternalUtilityRunner(
            fake.processes, {path("data"), {{path("data")}, path("config"), path("data"), {}}},
            tools);
    }
    // Tools that exist here, so Application Scripts runs get as far as starting.
    ExternalUtilityRunner::Tools presentTools() {
        write("bin/automator", "#!/bin/sh\n", true);
        write("bin/osascript", "#!/bin/sh\n", true);
        return {"/usr/bin/shortcuts", bytes("bin/automator"), bytes("bin/osascript")};
    }

    QTemporaryDir dir;
    FakePlatform fake;
    const QList<QUrl> files = {LocalFileURL::fromNativePath("/f/one two"),
                               LocalFileURL::fromNativePath("/f/-x"),
                               LocalFileURL::fromNativePath("/g/\xff$(id)")};
    const Args paths = {"/f/one two", "/f/-x", "/g/\xff$(id)"};
};

// Started without waiting: shortcuts, and scripts by kind.
TEST_F(UtilityRunnerTest, UtilitiesStartByKindInNormalMode) {
    write("data/Corvanta/Scripts/Sub/Mail.applescript", "tell");
    write("data/Corvanta/Scripts/Own.scpt", "#!/bin/sh\n", true);
    write("data/Corvanta/Scripts/Sub/Convert.workflow/Contents/document.wflow", "x");
    const QByteArray folder = bytes("data/Corvanta/Scripts/");
    const auto script = [](const QString& path) { return ExternalUtilityRef::script({path, "N"}); };
    const struct {
        ExternalUtilityRef utility;
        QByteArray program;
        Args arguments;
    } cases[] = {
        // Each file after its own -i.
        {ExternalUtilityRef::shortcut({"ID-1", "Resize"}),
         "/usr/bin/shortcuts",
         {"run", "ID-1", "-i", paths[0], "-i", paths[1], "-i", paths[2]}},
        // An executable runs itself, whatever its name.
        {script("Own.scpt"), folder + "Own.scpt", paths},
        {script("Sub/Mail.applescript"), "/usr/bin/osascript",
         Args{folder + "Sub/Mail.applescript"} + paths},
        // A workflow enabled as a script still goes to automator, last.
        {script("Sub/Convert.workflow"),
         "/usr/bin/automator",
         {"-i", paths[0], "-i", paths[1], "-i", paths[2], folder + "Sub/Convert.workflow"}},
    };
    for (const auto& c : cases) {
        fake.processes.runs.clear();
        EXPECT_EQ(runner().run(c.utility, files, false), std::nullopt);
        ASSERT_EQ(fake.processes.runs.size(), 1) << qPrintable(c.utility.key());
        EXPECT_EQ(fake.processes.runs[0].program, c.program);
        EXPECT_EQ(fake.processes.runs[0].arguments, c.arguments);
        EXPECT_FALSE(fake.processes.runs[0].waitForExit);
    }
}

TEST_F(UtilityRunnerTest, ScriptFailuresNameTheScript) {
    write("data/Corvanta/Scripts/tool.sh", "#!/bin/sh\n", true);
    write("data/Corvanta/Scripts/Flow.workflow/x", "x");
    write("outside.sh", "#!/bin/sh\n", true);
    fake.processes.responder = [](const ProcessRequest&) {
        return FakeProcessRunner::launchFailure("Permission denied");
    };
    const struct {
        QString relativePath;
        QString message;
    } cases[] = {
        {"deleted.sh", "Script \u201CName\u201D was not found."},
        // A stored path may not lead out of the scripts folder.
        {"../../../outside.sh", "Script \u201CName\u201D was not found."},
        {"/etc/hostname", "Script \u201CName\u201D was not found."},
        {"tool.sh", "Could not run script \u201CName\u201D: Permission denied"},
        {"Flow.workflow", "Could not run workflow \u201CName\u201D: Permission denied"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runner().run(ExternalUtilityRef::script({c.relativePath, "Name"}), files, false),
                  c.message)
            << qPrintable(c.relativePath);
    EXPECT_EQ(fake.processes.runs.size(), 2);
    // No data folder at all.
    EXPECT_EQ(ExternalUtilityRunner(fake.processes, {}).runScript("tool.sh", "Name", files, false),
              "Scripts folder is unavailable.");
}

TEST_F(UtilityRunnerTest, ApplicationScriptsRunsWaitAMinuteAndReportHowTheyEnded) {
    write("data/Corvanta/Application Scripts/helper", "#!/bin/sh\n", true);
    write("data/Corvanta/Application Scripts/Mail.scpt", "x");
    write("data/Corvanta/Application Scripts/Flow.workflow/x", "x");
    ProcessResult timedOut, failed, endless, silent, ok;
    timedOut.timedOut = true;
    failed.exitCode = 2;
    failed.standardOutput = "first\nthe last line says why\n";
    ProcessResult reason = failed;
    reason.standardError = "warning: slow\nthe reason\n\n";
    endless.outputLimitExceeded = true;
    silent.exitCode = 3;
    ok.exitCode = 0;
    const struct {
        QString relativePath;
        ProcessResult result;
        bool tools;
        std::optional<QString> message;
    } cases[] = {
        {"helper", ok, true, std::nullopt},
        {"helper", timedOut, true, "Script \u201CName\u201D timed out."},
        {"helper", failed, true, "the last line says why"},
        // Standard error's last line wins over standard output's progress.
        {"helper", reason, true, "the reason"},
        {"helper", endless, true, "The program printed more than Corvanta reads and was stopped."},
        {"helper", silent, true, "The program ended with exit status 3."},
        {"helper", FakeProcessRunner::launchFailure("x"), true,
         "Could not load script \u201CName\u201D."},
        {"Mail.scpt", timedOut, true, "Script \u201CName\u201D timed out."},
        {"Mail.scpt", ok, false, "Could not load script \u201CName\u201D."},
        {"Flow.workflow", timedOut, true, "Workflow \u201CName\u201D timed out."},
        {"Flow.workflow", ok, false, "Could not load workflow \u201CName\u201D."},
    };
    for (const auto& c : cases) {
        fake.processes.runs.clear();
        fake.processes.responder = [&c](const ProcessRequest&) { return c.result; };
        EXPECT_EQ((c.tools ? runner(presentTools()) : runner())
                      .run(ExternalUtilityRef::script({c.relativePath, "Name"}), files, true),
                  c.message)
            << qPrintable(c.relativePath);
        for (const ProcessRequest& run : fake.processes.runs) {
            EXPECT_TRUE(run.waitForExit);
            EXPECT_EQ(run.timeout, std::chrono::milliseconds(60000));
            EXPECT_FALSE(run.killOnTimeout);
            EXPECT_EQ(run.outputLimit, ExternalUtilityRunner::waitedOutputLimit);
        }
    }
}

TEST_F(UtilityRunnerTest, ServicesRunTheirFileManagersCommandOrSayTheyCouldNot) {
    write("data/kio/servicemenus/menu.desktop",
          "[Desktop Entry]\nActions=a;b;\n[Desktop Action a]\nName=Send\nExec=send --to %F\n"
          "[Desktop Action b]\nName=Each\nExec=each %f\n",
          true);
    write("data/kio/servicemenus/single.desktop",
          "[Desktop Entry]\n[Desktop Action only]\nName=Single\nExec=single %U\n", true);
    write("data/kio/servicemenus/quote.desktop",
          "[Desktop Entry]\n[Desktop Action q]\nName=Quote\nExec=bad \"quote %F\n", true);
    write("data/nemo/actions/tick.nemo_action",
          "[Nemo Action]\nName=Tick\nExec=run %F\nQuote=backtick\n");
    write("config/Thunar/uca.xml", "<actions><action><name>Gimp</name><command>gimp %f | cat"
                                   "</command><other-files/></action></actions>");
    write("data/nautilus/scripts/Upload", "#!/bin/sh\n", true);
    const QString menu = path("data/kio/servicemenus/menu.desktop");
    const QString refused = "\u201D: a file name could run as a command.";
    const struct {
        QString id, name;
        QList<std::pair<QByteArray, Args>> runs;
        std::optional<QString> message;
    } cases[] = {
        // One run per file for %f; the plain lines run for real in the Linux tests.
        {"b|" + menu,
         "Each",
         {{"each", {paths[0]}}, {"each", {paths[1]}}, {"each", {paths[2]}}},
         std::nullopt},
        {path("data/kio/servicemenus/single.desktop"),
         "Single",
         {{"single", {files[0].toEncoded(), files[1].toEncoded(), files[2].toEncoded()}}},
         std::nullopt},
        {"gone|" + menu, "Gone", {}, "Could not run service \u201CGone\u201D."},
        {path("data/kio/servicemenus/quote.desktop"),
         "Quote",
         {},
         "Could not run service \u201CQuote\u201D."},
        // Nemo's backtick quoting would run each name: nothing starts.
        {path("data/nemo/actions/tick.nemo_action"),
         "Tick",
         {},
         "Could not run service \u201CTick" + refused},
        // Thunar: one shell run, the first file only for %f.
        {path("config/Thunar/uca.xml"),
         "Gimp",
         {{"/bin/sh", {"-c", "gimp '/f/one two' | cat"}}},
         std::nullopt},
        {path("data/nautilus/scripts/Upload"),
         "Upload",
         {{bytes("data/nautilus/scripts/Upload"), paths}},
         std::nullopt},
    };
    for (const auto& c : cases) {
        fake.processes.runs.clear();
        EXPECT_EQ(runner().run(ExternalUtilityRef::service({c.id, c.name}), files, false),
                  c.message)
            << qPrintable(c.id);
        QList<std::pair<QByteArray, Args>> runs;
        for (const ProcessRequest& run : fake.processes.runs)
            runs.append({run.program, run.arguments});
        EXPECT_EQ(runs, c.runs) << qPrintable(c.id);
        // Thunar and Nemo start in the folder of the first file, as Nautilus does.
        for (const ProcessRequest& run : fake.processes.runs)
            EXPECT_EQ(run.workingDirectory,
                      c.id.contains("/kio/") ? std::nullopt : std::optional<QByteArray>("/f"));
    }
    // Nautilus scripts also find the selection in the environment, in its folder.
    const ProcessRequest& nautilus = fake.processes.runs.last();
    EXPECT_EQ(
        nautilus.environment,
        (QList<std::pair<QByteArray, QByteArray>>{
            {"NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", paths.join('\n') + '\n'},
            {"NAUTILUS_SCRIPT_SELECTED_URIS", files[0].toEncoded() + '\n' + files[1].toEncoded() +
                                                  '\n' + files[2].toEncoded() + '\n'},
            {"NAUTILUS_SCRIPT_CURRENT_URI", "file:///f"}}));
    EXPECT_EQ(nautilus.workingDirectory, QByteArray("/f"));

    fake.processes.responder = [](const ProcessRequest&) {
        return FakeProcessRunner::launchFailure("missing");
    };
    EXPECT_EQ(runner().run(ExternalUtilityRef::service({"a|" + menu, "Send"}), files, false),
              "Could not run service \u201CSend\u201D.");
}

} // namespace
