#include "platform/linux/SpawnProcessRunner.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <glib.h>

namespace {

using namespace std::chrono_literals;

const QList<QByteArray> hostileArguments = {
    "two words",
    "it's \"quoted\"",
    "$(touch /tmp/corvanta-pwned)",
    "`id`",
    "-leading-dash",
    "semi;colon|pipe",
    "new\nline",
    "",
    "\xff\xfe not utf-8",
    "*",
};

QByteArray recorder() {
    return QFile::encodeName(LinuxSandbox::current().programPath("recorder-editor"));
}

class SpawnProcessRunnerTest : public ::testing::Test {
protected:
    SpawnProcessRunner runner;
};

TEST_F(SpawnProcessRunnerTest, EveryArgumentArrivesAsOneArgumentByteForByte) {
    for (const bool wait : {false, true}) {
        QFile::remove(LinuxSandbox::current().recordFile());
        ProcessRequest request{recorder(), hostileArguments};
        request.waitForExit = wait;
        const ProcessResult result = runner.run(request);
        ASSERT_TRUE(result.started()) << qPrintable(*result.launchError);
        EXPECT_EQ(SandboxHelpers::records(1), QList<QList<QByteArray>>{hostileArguments})
            << "wait " << wait;
    }
    EXPECT_FALSE(QFile::exists("/tmp/corvanta-pwned"));
}

TEST_F(SpawnProcessRunnerTest, ProgramsThatCannotStartReportWhy) {
    const QByteArray notExecutable =
        QFile::encodeName(LinuxSandbox::current().filesFolder()) + "/plain";
    ASSERT_TRUE(writeFile(QFile::decodeName(notExecutable), {}));
    const struct {
        QByteArray program;
        int reason; // the system's text for it is in the message, in the user's language
    } cases[] = {
        {"/no/such/program", ENOENT},
        {"corvanta-no-such-program-in-path", ENOENT},
        {notExecutable, EACCES},
        {"", 0},
    };
    for (const auto& c : cases)
        for (const bool wait : {false, true}) {
            ProcessRequest request{c.program};
            request.waitForExit = wait;
            const ProcessResult result = runner.run(request);
            ASSERT_FALSE(result.started()) << c.program.constData();
            EXPECT_FALSE(result.launchError->isEmpty());
            // The message names the program, which the callers' texts leave to it.
            if (c.reason) {
                EXPECT_TRUE(result.launchError->contains(QString::fromUtf8(g_strerror(c.reason))) &&
                            result.launchError->contains(QFile::decodeName(c.program)))
                    << qPrintable(*result.launchError);
            }
        }
}

TEST_F(SpawnProcessRunnerTest, AWaitedRunReportsOutputExitEnvironmentAndFolder) {
    const struct {
        const char* script;
        std::optional<int> exitCode;
        QByteArray output;
    } cases[] = {
        {"printf '%s|%s' \"$CORVANTA_A\" \"$CORVANTA_B\"", 0, "first|second value"},
        {"echo out; echo err >&2; exit 3", 3, "out\n"},
        // More than a pipe holds: the reader must drain while the program writes.
        {"head -c 300000 /dev/zero", 0, QByteArray(300000, '\0')},
        // Exits while its own child still holds the output open.
        {"sleep 30 & echo gone", 0, "gone\n"},
        {"kill -9 $$", std::nullopt, ""},
        {"pwd", 0, QFile::encodeName(LinuxSandbox::current().filesFolder()) + '\n'},
    };
    for (const auto& c : cases) {
        ProcessRequest request{"/bin/sh", {"-c", c.script}};
        request.workingDirectory = QFile::encodeName(LinuxSandbox::current().filesFolder());
        request.environment = {
            {"CORVANTA_A", "overridden"}, {"CORVANTA_A", "first"}, {"CORVANTA_B", "second value"}};
        request.waitForExit = true;
        request.timeout = 10s;
        request.outputLimit = c.output.size(); // output up to the limit is kept
        const ProcessResult result = runner.run(request);
        EXPECT_FALSE(result.timedOut) << c.script;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
        EXPECT_EQ(result.standardOutput, c.output) << c.script;
    }
}

// Killed at the bound, a run takes along what it started, which would otherwise
// live on (and keep the output pipe open).
TEST_F(SpawnProcessRunnerTest, ARunOutOfTimeIsKilledWithItsChildrenOrLeftRunningAsAsked) {
    const QString folder = LinuxSandbox::current().filesFolder();
    const QString pidFile = folder + "/pid", childFile = folder + "/child",
                  doneFile = folder + "/done";
    for (const bool kill : {true, false}) {
        QFile::remove(pidFile);
        QFile::remove(childFile);
        QFile::remove(doneFile);
        // Writes after the bound: a closed pipe would kill it with SIGPIPE.
        ProcessRequest request{
            "/bin/sh",
            {"-c",
             "echo $$ > \"$1\"; sleep 30 & echo $! > \"$3\"; echo started; sleep 1; echo late; "
             "echo late >&2; touch \"$2\"; exec sleep 30",
             "sh", QFile::encodeName(pidFile), QFile::encodeName(doneFile),
             QFile::encodeName(childFile)}};
        request.waitForExit = true;
        request.timeout = 300ms;
        request.killOnTimeout = kill;
        const ProcessResult result = runner.run(request);
        EXPECT_TRUE(result.timedOut);
        EXPECT_EQ(result.exitCode, std::nullopt);
        EXPECT_EQ(result.standardOutput, "started\n");
        const pid_t pid = readFile(pidFile).trimmed().toInt();
        const pid_t child = readFile(childFile).trimmed().toInt();
        ASSERT_GT(pid, 0);
        ASSERT_GT(child, 0);
        // Killed and reaped: the id is gone. Left running: it still answers
        // and finishes its work.
        EXPECT_EQ(::kill(pid, 0) == 0, !kill);
        if (!kill) {
            EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return QFile::exists(doneFile); }, 10000));
            ::kill(pid, SIGKILL);
            ::kill(child, SIGKILL);
            continue;
        }
        // SIGKILL lands a moment after kill() returns; a zombie counts as gone.
        EXPECT_TRUE(SandboxHelpers::waitUntil(
            [child] {
                QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
                const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : "(x) Z";
                return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
            },
            5000));
    }
}

// A program that never stops printing neither keeps the wait from its bound
// nor fills memory past the limit.
TEST_F(SpawnProcessRunnerTest, EndlessOutputStopsAtTheLimitOrTheBound) {
    ProcessRequest limited{"/usr/bin/yes", {"a line of output"}};
    limited.waitForExit = true;
    limited.timeout = 30s;
    limited.outputLimit = 1024 * 1024;
    const ProcessResult cut = runner.run(limited);
    EXPECT_TRUE(cut.outputLimitExceeded);
    EXPECT_FALSE(cut.timedOut);
    EXPECT_FALSE(cut.succeeded());
    EXPECT_TRUE(cut.standardOutput.isEmpty());

    // Whichever comes first ends the run; neither lets it go on.
    ProcessRequest bounded{"/usr/bin/yes"};
    bounded.waitForExit = true;
    bounded.timeout = 300ms;
    bounded.outputLimit = 64 * 1024 * 1024;
    const ProcessResult late = runner.run(bounded);
    EXPECT_TRUE(late.timedOut || late.outputLimitExceeded);
    EXPECT_FALSE(late.succeeded());
}

} // namespace
