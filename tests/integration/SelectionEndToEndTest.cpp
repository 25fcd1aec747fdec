// The selection as a rule hotkey reads it: Thunar on a real X server with an
// EWMH window manager, its files selected with keys, read through
// `corvanta selection --json`; the user's clipboard must come back whole and
// no program outside the file manager table may be sent a key.
#include "core/model/LocalFileURL.h"
#include "platform/linux/LinuxSelectionPermissions.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/QStringPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr int waitMs = 10000;

using EndToEnd::ok;
using EndToEnd::run;

QByteArray clipboard(const char* target) {
    return run("xclip", {"-o", "-selection", "clipboard", "-t", target}).out;
}

bool activate(const QString& window) {
    return !window.isEmpty() && ok("xdotool", {"windowactivate", "--sync", window}) &&
           ok("xdotool", {"windowfocus", "--sync", window});
}

// Activates the newest window that `search` finds and that the window manager
// accepts (a program may map helper windows of the same class first).
QString activateNewest(const QStringList& search) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs) {
        QList<QByteArray> ids = run("xdotool", search).out.trimmed().split('\n');
        std::reverse(ids.begin(), ids.end());
        for (const QByteArray& id : ids) {
            if (!id.isEmpty() && activate(QString::fromLatin1(id)))
                return QString::fromLatin1(id);
        }
        QThread::msleep(100);
    }
    return {};
}

struct Selection {
    int exitCode = -1;
    QString frontmost;
    QString source;
    QList<QByteArray> paths;
};

Selection selection() {
    const EndToEnd::ProcessResult result =
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
        QDir().mkpath(QFile::decodeName(emptyFolder));
        // Thunar lists names sorted: both paths arrive in this order.
        spaced = SandboxHelpers::sample("selected/beta gamma.txt");
        latin1 = SandboxHelpers::sample("selected/caf\xe9.bin");
        ASSERT_TRUE(start(windowManager, "openbox", {}));
        QThread::msleep(500);
        ASSERT_TRUE(start(thunar, "thunar", {QFile::decodeName(folder)}));
        thunarWindow = activateNewest({"search", "--onlyvisible", "--class", "Thunar"});
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

TEST_F(SelectionEndToEnd, ALargeClipboardComesBackWhole) {
    // Several megabytes arrive in chunks (INCR) and must be given back whole.
    QByteArray large;
    for (int i = 0; large.size() < 3 * 1024 * 1024; ++i)
        large += "line " + QByteArray::number(i) + " of a large clipboard\n";
    const QString file = LinuxSandbox::current().root() + QStringLiteral("/large-clipboard");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(large) == large.size());
    out.close();
    std::unique_ptr<QProcess> big;
    ASSERT_TRUE(start(big, QStringLiteral(CLIPBOARD_SEED_PATH), {"small", "@" + file}));
    ASSERT_TRUE(big->waitForReadyRead(waitMs));
    ASSERT_TRUE(activate(thunarWindow));
    ASSERT_TRUE(ok("xdotool", {"key", "--clearmodifiers", "ctrl+a"}));
    QThread::msleep(300);
    EXPECT_EQ(selection().paths, (QList<QByteArray>{spaced, latin1}));
    EXPECT_EQ(clipboard("text/plain"), "small");
    const QByteArray back = clipboard("application/x-corvanta-test");
    EXPECT_EQ(back.size(), large.size());
    EXPECT_TRUE(back == large);
    big->kill();
    big->waitForFinished();
    // The other tests start from the usual clipboard again.
    ASSERT_TRUE(
        start(seed, QStringLiteral(CLIPBOARD_SEED_PATH), {"before the hotkey", "second format"}));
    ASSERT_TRUE(seed->waitForReadyRead(waitMs));
}

TEST_F(SelectionEndToEnd, NothingSelectedGivesNothingAndKeepsTheClipboard) {
    QProcess second;
    second.start("thunar", {QFile::decodeName(emptyFolder)});
    ASSERT_TRUE(second.waitForFinished(waitMs));
    const QString window = activateNewest({"search", "--onlyvisible", "--name", "^nothing here"});
    ASSERT_FALSE(window.isEmpty());
    QThread::msleep(500);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 1);
    EXPECT_EQ(got.frontmost, "thunar");
    EXPECT_TRUE(got.paths.isEmpty());
    expectClipboardKept();
    ok("xdotool", {"windowclose", window});
}

TEST_F(SelectionEndToEnd, ATerminalInFrontIsNeverSentTheCopyKeys) {
    const QString marker = LinuxSandbox::current().root() + QStringLiteral("/interrupted");
    QFile::remove(marker);
    // Ctrl+C in a terminal interrupts its program: the trap would notice.
    ASSERT_TRUE(
        start(terminal, "xterm",
              {"-class", "CorvantaTestTerm", "-e", "sh", "-c",
               "trap 'echo interrupted >> \"" + marker + "\"' INT; while :; do sleep 0.05; done"}));
    ASSERT_FALSE(
        activateNewest({"search", "--onlyvisible", "--class", "CorvantaTestTerm"}).isEmpty());
    QThread::msleep(300);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 1);
    EXPECT_TRUE(got.paths.isEmpty());
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(marker));
    expectClipboardKept();
    // The trap does notice a real Ctrl+C, so its silence above means something.
    ASSERT_TRUE(ok("xdotool", {"key", "ctrl+c"}));
    EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return QFile::exists(marker); }, 3000));
}

// The probes behind the settings window's permission tiles, on this session.
TEST_F(SelectionEndToEnd, PermissionProbesReadTheSession) {
    LinuxSelectionPermissions permissions;
    EXPECT_EQ(permissions.automationStatus(), AutomationStatus::granted);
    {
        // Keys sent through XWayland would not reach Wayland programs.
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_EQ(permissions.automationStatus(), AutomationStatus::unavailable);
        qunsetenv("WAYLAND_DISPLAY");
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        EXPECT_EQ(permissions.automationStatus(), AutomationStatus::unavailable);
        qputenv("DISPLAY", display);
        if (!wayland.isEmpty())
            qputenv("WAYLAND_DISPLAY", wayland);
    }
    // Thunar started the accessibility bus; assistive technologies are off
    // until requested, then on.
    if (!ok("gdbus", {"call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                      "/org/a11y/bus", "--method", "org.a11y.Bus.GetAddress"}))
        GTEST_SKIP() << "no accessibility bus in this session";
    EXPECT_FALSE(permissions.isAccessibilityEnabled());
    EXPECT_TRUE(permissions.enableAccessibility());
    EXPECT_TRUE(permissions.isAccessibilityEnabled());
}

// The whole road: Corvanta runs in the tray with a rule whose hotkey is pressed
// while Thunar shows two selected files; the rule's editor gets both.
TEST_F(SelectionEndToEnd, ARuleHotkeyOpensTheSelectedFilesInTheRulesEditor) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    ASSERT_EQ(EndToEnd::installCorvanta({{"test.HotkeyEditor.desktop",
                                          "Name=Hotkey Editor\nExec=recorder-editor --hotkey "
                                          "%F\nMimeType=text/plain;\n"}}),
              QString());

    const QByteArray first = SandboxHelpers::sample("hotkey/beta gamma.txt");
    const QByteArray second = SandboxHelpers::sample("hotkey/caf\xe9.txt");
    // Without the hotkey the files would go to the Markdown editor.
    Route text = EndToEnd::recorderRoute("custom.txt", "Text", "txt",
                                         {"test.MarkdownEditor", "test.HotkeyEditor"});
    const Rule rule = EndToEnd::hotkeyRule(QStringLiteral("test.HotkeyEditor"));
    text.rules = {rule};
    EndToEnd::writeSettings({text}, {{rule.hotkeyName(), "Ctrl+Alt+K"}});
    QFile::remove(sandbox.recordFile());

    QProcess tray;
    ASSERT_TRUE(EndToEnd::startInstance(tray));
    QThread::msleep(1000); // the hotkeys are grabbed once launching finished

    std::unique_ptr<QProcess> window;
    ASSERT_TRUE(start(window, "thunar", {sandbox.filesFolder() + QStringLiteral("/hotkey")}));
    ASSERT_TRUE(window->waitForFinished(waitMs));
    ASSERT_FALSE(activateNewest({"search", "--onlyvisible", "--name", "^hotkey"}).isEmpty());
    QThread::msleep(500);
    ASSERT_TRUE(ok("xdotool", {"key", "--clearmodifiers", "ctrl+a"}));
    QThread::msleep(300);
    ASSERT_TRUE(ok("xdotool", {"key", "ctrl+alt+k"}));
    EXPECT_EQ(SandboxHelpers::records(1), (QList<QList<QByteArray>>{{"--hotkey", first, second}}));
    expectClipboardKept();
    EndToEnd::stopInstance(tray);
}

} // namespace
