#include "core/selection/SelectionScriptRunner.h"
#include "core/selection/ScriptableFileManager.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

using Outcome = SelectionScriptRunner::Outcome;

TEST(SelectionScriptRunner, OutcomesOfHelpersThatAnswer) {
    struct Case {
        const char* name;
        QByteArray script;
        Outcome::Kind kind;
        QList<QByteArray> paths;
    };
    const QList<Case> cases{
        {"one a line, ignoring --print0",
         "printf '/srv/one\\r\\n/srv/two three\\nrelative\\n/no/final/newline'",
         Outcome::Kind::succeeded,
         {"/srv/one", "/srv/two three", "/no/final/newline"}},
        {"nothing selected", "exit 0", Outcome::Kind::succeeded, {}},
        {"hostile names",
         R"(printf '/t/line\nbreak\0/t/caf\351.bin\0/t/# %%20?x=1&y\0/t/ lead and trail \0/t/\033[31mred\0')",
         Outcome::Kind::succeeded,
         {"/t/line\nbreak", "/t/caf\xe9.bin", "/t/# %20?x=1&y", "/t/ lead and trail ",
          "/t/\x1b[31mred"}},
        {"reports an error",
         "printf '/a\\0'; echo 'no window' >&2; exit 1",
         Outcome::Kind::failed,
         {}},
        {"killed by a signal", "printf '/a\\0'; kill -9 $$", Outcome::Kind::failed, {}},
        {"endless output", "yes /a", Outcome::Kind::failed, {}},
    };
    SpawnProcessRunner processes;
    const SelectionScriptRunner runner(processes);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QTemporaryDir folder;
        writeFile(folder.filePath("GetThunarSelection"), "#!/bin/sh\n" + test.script, true);
        const Outcome outcome = runner.run(QStringLiteral("GetThunarSelection"), folder.path(),
                                           SelectionScriptRunner::selectionTimeout);
        EXPECT_EQ(outcome.kind, test.kind);
        EXPECT_EQ(nativePaths(outcome.urls), test.paths);
    }
}

TEST(SelectionScriptRunner, MissingOrUnrunnableHelpers) {
    QTemporaryDir folder;
    writeFile(folder.filePath("NotExecutable"), "#!/bin/sh\nprintf '/a\\0'");
    QDir(folder.path()).mkdir(QStringLiteral("AFolder"));

    const struct {
        const char* name;
        const char* fileName;
        const char* folder; // inside the helper folder; none: no folder at all
        Outcome expected;
    } cases[] = {
        {"no folder", "GetThunarSelection", nullptr, Outcome::missingScript()},
        {"no such file", "GetThunarSelection", "", Outcome::missingScript()},
        {"not executable", "NotExecutable", "", Outcome::failed()},
        {"a folder by that name", "AFolder", "", Outcome::failed()},
    };
    SpawnProcessRunner processes;
    const SelectionScriptRunner runner(processes);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::optional<QString> in =
            test.folder ? std::optional(QDir(folder.path()).filePath(test.folder)) : std::nullopt;
        EXPECT_EQ(runner.run(test.fileName, in, SelectionScriptRunner::statusTimeout),
                  test.expected);
    }
}

TEST(SelectionScriptRunner, RunsTheFileManagersHelperFromTheDataHome) {
    QTemporaryDir dataHome;
    writeFile(dataHome.filePath("Corvanta/Application Scripts/GetThunarSelection"),
              "#!/bin/sh\nprintf '/from/thunar\\0'\n", true);
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    SpawnProcessRunner processes;
    const SelectionScriptRunner runner(processes);
    EXPECT_EQ(runner.selectedFiles(ScriptableFileManager::thunar()),
              QList<QUrl>{LocalFileURL::fromNativePath("/from/thunar")});
    EXPECT_EQ(runner.selectedFiles(ScriptableFileManager::dolphin()), QList<QUrl>());
    qputenv("XDG_DATA_HOME", saved);
}

// The bound asked for, and the kill of everything the helper started with it
// (which the process runner's own tests show happening).
TEST(SelectionScriptRunner, AsksForABoundedKilledRun) {
    using namespace std::chrono_literals;
    QTemporaryDir folder;
    writeFile(folder.filePath("GetNautilusSelection"), "#!/bin/sh\nexit 0\n", true);
    // (The status check's bound: see the settings window's permission tests.)
    const std::pair<double, std::chrono::milliseconds> bounds[] = {
        {SelectionScriptRunner::selectionTimeout, 5000ms}, {-1.0, 0ms}};
    for (const auto& [timeout, bound] : bounds) {
        FakeProcessRunner processes;
        SelectionScriptRunner(processes).run(QStringLiteral("GetNautilusSelection"), folder.path(),
                                             timeout);
        ASSERT_EQ(processes.runs.size(), 1);
        const ProcessRequest& request = processes.runs.first();
        EXPECT_EQ(request.arguments, QList<QByteArray>{"--print0"});
        EXPECT_TRUE(request.waitForExit && request.killOnTimeout);
        EXPECT_EQ(request.timeout, bound);
        EXPECT_EQ(request.outputLimit, SelectionScriptRunner::outputLimit);
    }
}
