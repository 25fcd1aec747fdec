// The selection as a rule hotkey reads it: Thunar on a real X server with an
// EWMH window manager, its files selected with keys, read through
// `corvanta selection --json`; the user's clipboard must come back whole and
// no program outside the file manager table may be sent a key.
#include "core/model/LocalFileURL.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr int waitMs = 10000;

struct Result {
    int exitCode = -1;
    QByteArray out;
};

Result run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

bool ok(const QString& program, const QStringList& arguments) {
    return run(program, arguments).exitCode == 0;
}

QByteArray clipboard(const char* target) {
    return run("xclip", {"-o", "-selection", "clipboard", "-t", target}).out;
}

// The newest window of `className`, waited for.
QString windowOf(const QString& className) {
    const Result found =
        run("xdotool", {"search", "--sync", "--onlyvisible", "--class", className});
    const QList<QByteArray> ids = found.out.trimmed().split('\n');
    return QString::fromLatin1(ids.value(ids.size() - 1));
}

bool activate(const QString& window) {
    return !window.isEmpty() && ok("xdotool", {"windowactivate", "--sync", window}) &&
           ok("xdotool", {"windowfocus", "--sync", window});
}

struct Selection {
    int exitCode = -1;
    QString frontmost;
    QString source;
    QList<QByteArray> paths;
};

Selection selection() {
    const Result result =
        run(QStringLiteral(CORVANTA_PATH), {QStringLiteral("selection"), QStringLiteral("--json")});
    Selection parsed;
    parsed.exitCode = result.exitCode;
    const QJsonObject object = QJsonDocument::fromJson(result.out).object();
    parsed.frontmost = object.value("frontmostApplication").toString();
    parsed.source = object.value("source").toString();
    for (const QJsonValue& uri : object.value("uris").toArray())
        parsed.paths.append(LocalFileURL::nativePath(QUrl::fromEncoded(uri.toString().toLatin1())));
    return parsed;
}

class SelectionEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("GSK_RENDERER", "cairo");
        const QByteArray files = QFile::encodeName(LinuxSandbox::current().filesFolder());
        folder = files + "/selected";
        emptyFolder = files + "/nothing here";
        QDir().mkpath(QFile::decodeName(folder));
        QDir().mkpath(QFile::decodeName(emptyFolder));
        // Thunar lists names sorted: both paths arrive in this order.
        spaced = folder + "/beta gamma.txt";
        latin1 = folder + "/caf\xe9.bin";
        for (const QByteArray& path : {spaced, latin1}) {
            FILE* file = std::fopen(path.constData(), "w");
            ASSERT_NE(file, nullptr);
            std::fputs("x\n", file);
            std::fclose(file);
        }
        ASSERT_TRUE(start(windowManager, "openbox", {}));
        QThread::msleep(500);
        ASSERT_TRUE(start(thunar, "thunar", {QFile::decodeName(folder)}));
        thunarWindow = windowOf("Thunar");
        ASSERT_FALSE(thunarWindow.isEmpty());
        ASSERT_TRUE(start(seed, QStringLiteral(CLIPBOARD_SEED_PATH),
                          {"before the hotkey", "second format"}));
        ASSERT_TRUE(seed->waitForReadyRead(waitMs));
        // Thunar's folder loads after its window maps.
        QThread::msleep(800);
    }
    static void TearDownTestSuite() {
        for (auto* process : {&seed, &thunar, &terminal, &windowManager}) {
            if (*process) {
                (*process)->kill();
                (*process)->waitForFinished();
                process->reset();
            }
        }
    }
    static bool start(std::unique_ptr<QProcess>& process, const QString& program,
                      const QStringList& arguments) {
        process = std::make_unique<QProcess>();
        process->start(program, arguments);
        return process->waitForStarted(waitMs);
    }
    void expectClipboardKept() {
        EXPECT_EQ(clipboard("text/plain"), "before the hotkey");
        EXPECT_EQ(clipboard("application/x-corvanta-test"), "second format");
    }

    static inline QByteArray folder, emptyFolder, spaced, latin1;
    static inline QString thunarWindow;
    static inline std::unique_ptr<QProcess> windowManager, thunar, seed, terminal;
};

TEST_F(SelectionEndToEnd, TwoSelectedFilesArriveByteForByteAndTheClipboardComesBack) {
    ASSERT_TRUE(activate(thunarWindow));
    ASSERT_TRUE(ok("xdotool", {"key", "--clearmodifiers", "ctrl+a"}));
    QThread::msleep(300);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.frontmost, "thunar");
    EXPECT_EQ(got.source, "fileManager");
    EXPECT_EQ(got.paths, (QList<QByteArray>{spaced, latin1}));
    expectClipboardKept();
    // Asked again, the restored clipboard (now served by Corvanta) comes back too.
    EXPECT_EQ(selection().paths.size(), 2);
    expectClipboardKept();
}

TEST_F(SelectionEndToEnd, NothingSelectedGivesNothingAndKeepsTheClipboard) {
    QProcess second;
    second.start("thunar", {QFile::decodeName(emptyFolder)});
    ASSERT_TRUE(second.waitForFinished(waitMs));
    QElapsedTimer timer;
    timer.start();
    QString window;
    while (timer.elapsed() < waitMs) {
        window =
            run("xdotool", {"search", "--onlyvisible", "--name", "^nothing here"}).out.trimmed();
        if (!window.isEmpty())
            break;
        QThread::msleep(100);
    }
    ASSERT_TRUE(activate(window.section('\n', -1)));
    QThread::msleep(500);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 1);
    EXPECT_EQ(got.frontmost, "thunar");
    EXPECT_TRUE(got.paths.isEmpty());
    expectClipboardKept();
    ok("xdotool", {"windowclose", window.section('\n', -1)});
}

TEST_F(SelectionEndToEnd, ATerminalInFrontIsNeverSentTheCopyKeys) {
    const QString marker = LinuxSandbox::current().root() + QStringLiteral("/interrupted");
    QFile::remove(marker);
    // Ctrl+C in a terminal interrupts its program: the trap would notice.
    ASSERT_TRUE(
        start(terminal, "xterm",
              {"-class", "CorvantaTestTerm", "-e", "sh", "-c",
               "trap 'echo interrupted >> \"" + marker + "\"' INT; while :; do sleep 0.05; done"}));
    const QString window = windowOf("CorvantaTestTerm");
    ASSERT_TRUE(activate(window));
    QThread::msleep(300);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 1);
    EXPECT_TRUE(got.paths.isEmpty());
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(marker));
    expectClipboardKept();
    // The trap does notice a real Ctrl+C, so its silence above means something.
    ASSERT_TRUE(ok("xdotool", {"key", "ctrl+c"}));
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(marker) && timer.elapsed() < 3000)
        QThread::msleep(50);
    EXPECT_TRUE(QFile::exists(marker));
}

} // namespace
