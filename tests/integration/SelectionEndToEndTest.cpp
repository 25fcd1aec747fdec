// The selection as a rule hotkey reads it: Thunar on a real X server with an
// EWMH window manager, its files selected with keys, read through
// `corvanta selection --json`; the user's clipboard must come back whole and
// no program outside the file manager table may be sent a key.
#include "core/model/LocalFileURL.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionScriptRunner.h"
#include "platform/linux/LinuxSelectionPermissions.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "platform/linux/X11ClipboardSelection.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SelectionOwnerClient.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
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

using EndToEnd::activate;
using EndToEnd::activateNewest;
using EndToEnd::clipboard;
using EndToEnd::ok;
using EndToEnd::run;
using EndToEnd::start;

// What another program reads from the clipboard while this process (its
// restored copy or Qt's own) may be the one that has to answer.
QByteArray clipboardServedBy(X11ClipboardSelection& selection, const char* target) {
    QProcess xclip;
    xclip.start("xclip", {"-o", "-selection", "clipboard", "-t", target});
    QElapsedTimer timer;
    timer.start();
    while (xclip.state() != QProcess::NotRunning && timer.elapsed() < waitMs) {
        selection.serveClipboard(QDeadlineTimer(10));
        QCoreApplication::processEvents();
    }
    return xclip.readAllStandardOutput();
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
        thunarWindow = activateNewest({"--class", "Thunar"});
        ASSERT_FALSE(thunarWindow.isEmpty());
        ASSERT_NO_FATAL_FAILURE(reseed());
        // Thunar's folder loads after its window maps.
        QThread::msleep(800);
    }
    static void TearDownTestSuite() { EndToEnd::end({&seed, &thunar, &windowManager}); }
    // Each test starts with the user's clipboard of two formats.
    void TearDown() override { reseed(); }
    void expectClipboardKept() {
        EXPECT_EQ(clipboard("text/plain"), "before the hotkey");
        EXPECT_EQ(clipboard("application/x-corvanta-test"), "second format");
    }
    static void selectBothFiles() {
        ASSERT_TRUE(activate(thunarWindow));
        ASSERT_TRUE(ok("xdotool", {"key", "--clearmodifiers", "ctrl+a"}));
        QThread::msleep(300);
    }
    // Replaces the user's clipboard with `arguments` as clipboard_seed takes them.
    static void reseed(const QStringList& arguments = {"before the hotkey", "second format"}) {
        EndToEnd::end({&seed});
        ASSERT_TRUE(start(seed, QStringLiteral(CLIPBOARD_SEED_PATH), arguments));
        ASSERT_TRUE(seed->waitForReadyRead(waitMs));
    }

    static inline QByteArray folder, emptyFolder, spaced, latin1;
    static inline QString thunarWindow;
    static inline std::unique_ptr<QProcess> windowManager, thunar, seed;
};

TEST_F(SelectionEndToEnd, TwoSelectedFilesArriveByteForByteAndEveryFormatComesBack) {
    // Several megabytes arrive in chunks (INCR); an image, text and a URI list
    // each come back under their own name.
    QByteArray large;
    for (int i = 0; large.size() < 3 * 1024 * 1024; ++i)
        large += "line " + QByteArray::number(i) + " of a large clipboard\n";
    QByteArray image("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 4096; ++i)
        image += char(i * 7);
    const QList<std::pair<const char*, QByteArray>> formats{
        {"text/plain", "small"},
        {"application/x-corvanta-test", large},
        {"image/png", image},
        {"text/uri-list", "file:///tmp/a%20b.txt\r\nfile:///tmp/caf%E9.bin\r\n"}};
    QStringList arguments; // the first two types are clipboard_seed's own
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const QString file = LinuxSandbox::current().root() + "/format-" + QString::number(i);
        ASSERT_TRUE(writeFile(file, formats[i].second));
        arguments << (i < 2 ? QStringList() : QStringList{formats[i].first}) << "@" + file;
    }
    reseed(arguments);
    selectBothFiles();
    // Asked again, the restored clipboard (now served by Corvanta) comes back too.
    for (const char* asked : {"first", "again"}) {
        SCOPED_TRACE(asked);
        const Selection got = selection();
        EXPECT_EQ(got.exitCode, 0);
        EXPECT_EQ(got.frontmost, "thunar");
        EXPECT_EQ(got.source, "fileManager");
        EXPECT_EQ(got.paths, (QList<QByteArray>{spaced, latin1}));
        for (const auto& [type, bytes] : formats)
            EXPECT_TRUE(clipboard(type) == bytes) << type;
    }
}

TEST_F(SelectionEndToEnd, NothingSelectedGivesNothingAndKeepsTheClipboard) {
    ASSERT_TRUE(ok("thunar", {QFile::decodeName(emptyFolder)}));
    const QString window = activateNewest({"--name", "^nothing here"});
    ASSERT_FALSE(window.isEmpty());
    QThread::msleep(500);
    const Selection got = selection();
    EXPECT_EQ(got.exitCode, 1);
    EXPECT_EQ(got.frontmost, "thunar");
    EXPECT_TRUE(got.paths.isEmpty());
    expectClipboardKept();
    // Another program's copy while the step waits for the file manager's is
    // the user's newest: it stays, and nothing is read from it.
    X11ClipboardSelection waiting(1500);
    QProcess::startDetached("sh",
                            {"-c", "sleep 0.3; printf meanwhile | xclip -selection clipboard"});
    EXPECT_TRUE(waiting.copySelection(ScriptableFileManager::thunar()).isEmpty());
    EXPECT_FALSE(waiting.servesClipboard());
    EXPECT_EQ(clipboard("UTF8_STRING"), "meanwhile");
    ok("xdotool", {"windowclose", window});
}

TEST_F(SelectionEndToEnd, AClipboardThatCannotBeSavedWholeIsNeverTouched) {
    selectBothFiles();
    {
        // An owner that never answers: no key is sent, the clipboard stays its.
        SelectionOwnerClient silent("CLIPBOARD");
        const Selection got = selection();
        EXPECT_EQ(got.exitCode, 1);
        EXPECT_TRUE(got.paths.isEmpty());
        EXPECT_TRUE(silent.owns());
    }
    // An owner that takes its time over each format is waited for.
    reseed({"--slow", "350", "rendered slowly", "second, slowly"});
    EXPECT_EQ(selection().paths, (QList<QByteArray>{spaced, latin1}));
    EXPECT_EQ(clipboard("text/plain"), "rendered slowly");
    EXPECT_EQ(clipboard("application/x-corvanta-test"), "second, slowly");
}

// The tray app runs the step on its main thread: its own clipboard (a copied
// path) is read without waiting on the event loop the step blocks.
TEST_F(SelectionEndToEnd, CorvantasOwnClipboardComesBack) {
    // Qt owns the clipboard from the time of the last event it saw.
    QCoreApplication::processEvents();
    QGuiApplication::clipboard()->setText(QStringLiteral("/home/user/copied path.txt"));
    ASSERT_TRUE(QGuiApplication::clipboard()->ownsClipboard());
    selectBothFiles();
    X11ClipboardSelection step;
    EXPECT_EQ(step.copySelection(ScriptableFileManager::thunar()).size(), 2);
    EXPECT_EQ(clipboardServedBy(step, "UTF8_STRING"), "/home/user/copied path.txt");
}

TEST_F(SelectionEndToEnd, ACopyAfterTheWaitIsStillUndone) {
    selectBothFiles();
    X11ClipboardSelection step(0);
    EXPECT_TRUE(step.copySelection(ScriptableFileManager::thunar()).isEmpty());
    step.serveClipboard(QDeadlineTimer(1500));
    EXPECT_EQ(clipboardServedBy(step, "text/plain"), "before the hotkey");
}

TEST_F(SelectionEndToEnd, NoKeysWhenTheFocusIsNotTheFileManagersOwn) {
    selectBothFiles();
    // Another program's window inside Thunar's takes the input focus, so
    // Thunar stays the active window.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, thunarWindow.toUInt(), 0, 0, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_map_window(c, window);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    X11ClipboardSelection step;
    EXPECT_TRUE(step.copySelection(ScriptableFileManager::thunar()).isEmpty());
    QThread::msleep(200);
    bool keyArrived = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        keyArrived = keyArrived || (event->response_type & 0x7f) == XCB_KEY_PRESS;
        std::free(event);
    }
    EXPECT_FALSE(keyArrived);
    xcb_disconnect(c);
    expectClipboardKept();
}

// Script mode: the installed helpers run between a saved and a restored
// clipboard, so every format comes back even from a helper killed at its bound.
TEST_F(SelectionEndToEnd, HelpersRunBetweenASavedAndARestoredClipboard) {
    const QString scripts = LinuxSandbox::current().root() + QStringLiteral("/Application Scripts");
    ASSERT_TRUE(ApplicationScriptsInstaller::install(scripts));
    const QString hanging = scripts + QStringLiteral("/GetHangingSelection");
    ASSERT_TRUE(writeFile(hanging, "#!/bin/sh\nsleep 30\n"));
    QFile::setPermissions(hanging, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    selectBothFiles();
    using Kind = SelectionScriptRunner::Outcome::Kind;
    const struct {
        const char* helper;
        Kind kind;
        QList<QByteArray> paths;
    } rows[] = {{"GetThunarSelection", Kind::succeeded, {spaced, latin1}},
                {"GetHangingSelection", Kind::failed, {}}};
    SpawnProcessRunner processes;
    X11ClipboardSelection clipboard;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.helper);
        SelectionScriptRunner::Outcome outcome;
        clipboard.aroundHelper([&] {
            outcome = SelectionScriptRunner(processes).run(row.helper, scripts, 1.5);
            return outcome.urls;
        });
        EXPECT_EQ(outcome.kind, row.kind);
        QList<QByteArray> paths;
        for (const QUrl& url : std::as_const(outcome.urls))
            paths.append(LocalFileURL::nativePath(url));
        EXPECT_EQ(paths, row.paths);
        EXPECT_EQ(clipboardServedBy(clipboard, "text/plain"), "before the hotkey");
        EXPECT_EQ(clipboardServedBy(clipboard, "application/x-corvanta-test"), "second format");
    }
}

// The probes behind the settings window's permission tiles, on this session.
TEST_F(SelectionEndToEnd, PermissionProbesReadTheSession) {
    LinuxSelectionPermissions permissions;
    EXPECT_EQ(permissions.automationStatus(), AutomationStatus::granted);
    // Keys sent through XWayland would not reach Wayland programs; without X none are sent.
    for (const auto& [name, value] :
         {std::pair<const char*, const char*>{"WAYLAND_DISPLAY", "wayland-0"},
          {"DISPLAY", nullptr}}) {
        const QByteArray before = qgetenv(name);
        value ? qputenv(name, value) : qunsetenv(name);
        EXPECT_EQ(permissions.automationStatus(), AutomationStatus::unavailable) << name;
        before.isNull() ? qunsetenv(name) : qputenv(name, before);
    }
    // Thunar started the accessibility bus, which is what the source reads
    // through; the session setting is switched on only when asked.
    const auto sessionSetting = [] {
        return run("gdbus", {"call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                             "/org/a11y/bus", "--method", "org.freedesktop.DBus.Properties.Get",
                             "org.a11y.Status", "IsEnabled"})
            .out.trimmed();
    };
    if (sessionSetting().isEmpty())
        GTEST_SKIP() << "no accessibility bus in this session";
    EXPECT_TRUE(permissions.isAccessibilityEnabled());
    EXPECT_EQ(sessionSetting(), "(<false>,)");
    EXPECT_TRUE(permissions.enableAccessibility());
    EXPECT_EQ(sessionSetting(), "(<true>,)");
}

} // namespace
