// The settings window of the tray instance on a real X server: the desktop's
// "settings" action shows it, Ctrl+W hides it, and the next actions show it
// again, never a second one; looking at the settings never writes the routes file.
// A rule added in it with keys alone, hotkey included, then opens the files
// selected in Thunar when that hotkey is pressed. In a real tray the menu
// shows why a routed file opened where it did.
#include "core/model/RoutesFileCodec.h"
#include "platform/linux/ShortcutTable.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/AtspiTree.h"

#include <QDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace {
using EndToEnd::activateAction;
using EndToEnd::ok;
using SandboxHelpers::routesBytes;
using SandboxHelpers::waitUntil;

// Visible windows titled like the settings window.
QStringList settingsWindows() {
    return EndToEnd::visibleWindows({"--name", "^corvanta \u00b7 settings$"});
}

// Whether the settings window `window` has its size, as xdotool reports it.
bool hasSettingsSize(const QString& window) {
    return EndToEnd::run("xdotool", {"getwindowgeometry", window})
        .out.contains("Geometry: 560x860");
}

// Sends keys to the focused window, one after another, as typed.
bool typeKeys(const QStringList& keys) {
    return ok("xdotool", QStringList{"key", "--delay", "150"} + keys);
}

// The settings window with an EWMH window manager, so Thunar is the frontmost
// program when the hotkey is pressed, and an editor that records its files.
class SettingsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installed = EndToEnd::installCorvanta().isEmpty(); }

    void SetUp() override {
        ASSERT_TRUE(installed);
        LinuxSandbox& sandbox = LinuxSandbox::current();
        qputenv("GSK_RENDERER", "cairo");
        ASSERT_TRUE(EndToEnd::start(windowManager, QStringLiteral("openbox")));
        folder = QFile::encodeName(sandbox.filesFolder()) + "/from settings";
        // Thunar lists names sorted: both paths arrive in this order.
        for (const char* name : {"beta gamma.txt", "caf\xe9.txt"})
            selected.append(SandboxHelpers::sample(QByteArray("from settings/") + name));
        QFile::remove(sandbox.recordFile());

        // Without a rule the files would go to the Markdown editor.
        Route text = EndToEnd::recorderRoute("custom.txt", "Text", "txt",
                                             {"test.MarkdownEditor", "test.HotkeyEditor"});
        text.normalizePreferenceOrder();
        EndToEnd::writeSettings({text});
        // No onboarding on top of the window.
        ASSERT_TRUE(writeFile(sandbox.configHome() + QStringLiteral("/Corvanta/Corvanta.conf"),
                              "[General]\nhasCompletedMenuBarOnboarding=true\n"));
        ASSERT_TRUE(EndToEnd::startInstance(instance));
    }

    void TearDown() override {
        EndToEnd::stopInstance(instance);
        EndToEnd::end({&thunar, &windowManager, &tray, &seed, &manager});
    }

    // Super+Alt+J over Thunar with both files selected opens them in the rule's editor.
    void expectHotkeyOpensTheSelection() {
        ASSERT_TRUE(EndToEnd::start(thunar, QStringLiteral("thunar"), {QFile::decodeName(folder)}));
        ASSERT_FALSE(EndToEnd::activateNewest({"--name", "^from settings"}).isEmpty());
        QThread::msleep(800); // the folder loads after the window maps
        ASSERT_TRUE(typeKeys({"ctrl+a"}));
        QThread::msleep(300);
        ASSERT_TRUE(typeKeys({"super+alt+j"}));
        EXPECT_EQ(SandboxHelpers::records(1),
                  (QList<QList<QByteArray>>{{"--hotkey", selected.at(0), selected.at(1)}}));
    }

    static inline bool installed = false;
    QProcess instance;
    QByteArray folder;
    QList<QByteArray> selected;
    std::unique_ptr<QProcess> windowManager, thunar, tray, seed, manager;
};
} // namespace

// The desktop's "settings" action shows the window, Ctrl+W hides it, and the
// next actions show it again, never a second one; looking at the settings
// never writes the routes file. A rule added in it with keys alone, hotkey
// included, opens the files selected in Thunar when that hotkey is pressed.
TEST_F(SettingsEndToEnd, OneWindowCloseOnlyHidesAndARuleAddedWithKeysRunsByItsHotkey) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    // The instance grabs hotkeys and rewrites the file once launching is done
    // (rediscovered editors).
    QThread::msleep(1500);
    QByteArray before = routesBytes();
    waitUntil(
        [&before] {
            QThread::msleep(300);
            const QByteArray now = routesBytes();
            return std::exchange(before, now) == now;
        },
        5000);
    EXPECT_TRUE(settingsWindows().isEmpty());
    activateAction(QStringLiteral("settings"));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().size() == 1; }))
        << "the settings window did not show";
    ASSERT_TRUE(EndToEnd::activate(settingsWindows().first()));
    ASSERT_TRUE(typeKeys({"ctrl+w"}));
    EXPECT_TRUE(waitUntil([] { return settingsWindows().isEmpty(); })) << "Ctrl+W hides it";
    EXPECT_TRUE(LinuxSandbox::corvantaInstancePid().has_value()) << "and the tray stays";
    // Shown again, and still one window (the presenter may give it a new native
    // window as the taskbar entry comes and goes).
    activateAction(QStringLiteral("settings"));
    ASSERT_TRUE(waitUntil([] { return !settingsWindows().isEmpty(); }));
    activateAction(QStringLiteral("settings"));
    QThread::msleep(500);
    ASSERT_EQ(settingsWindows().size(), 1);
    EXPECT_TRUE(hasSettingsSize(settingsWindows().first())) << "kept by a new native window";
    EXPECT_EQ(routesBytes(), before);
    ASSERT_TRUE(EndToEnd::activate(settingsWindows().first()));
    QThread::msleep(300);

    // The Text type in the file type pop-up; past Add Type and Remove Type the tab
    // bar, its rules tab, past the rules list Add Rule.
    ASSERT_TRUE(
        typeKeys({"t", "Tab", "Tab", "Tab", "Right", "Right", "Right", "Tab", "Tab", "space"}));
    ASSERT_TRUE(waitUntil([] {
        return !EndToEnd::visibleWindows({"--name", "^Add Rule$"}).isEmpty();
    })) << "the rule editor did not open";
    QThread::msleep(300);
    // From the name past the match pop-up, the condition becomes a hotkey,
    // recorded as Super+Alt+J (the recorder asks for Super).
    ASSERT_TRUE(typeKeys({"Tab", "Tab", "h", "Tab", "space"}));
    QThread::msleep(300);
    ASSERT_TRUE(typeKeys({"super+alt+j"}));
    QThread::msleep(300);
    // Past the row's remove button and Add Condition, "Always open in…" the
    // Hotkey Editor (second in the list), then Save.
    ASSERT_TRUE(typeKeys({"Tab", "Tab", "Tab", "Home", "Tab", "Tab", "space", "Return"}));

    // The rule is in the routes file and its combination in the shortcut table.
    std::optional<Rule> saved;
    EXPECT_TRUE(waitUntil([&saved] {
        const auto decoded = RoutesFileCodec::decode(routesBytes());
        const auto* state = std::get_if<RouteStoreState>(&decoded);
        for (const Route& route : state ? state->routes : QList<Route>())
            if (route.id == QStringLiteral("custom.txt") && !route.rules.isEmpty())
                saved = route.rules.first();
        return saved.has_value();
    })) << routesBytes().toStdString();
    // Its editor and the hotkey condition show when the hotkey opens the files.
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->when.predicates.size(), 1);
    EXPECT_EQ(ShortcutTable(sandbox.configHome() + QStringLiteral("/Corvanta/shortcuts.json"))
                  .get(saved->hotkeyName()),
              (Shortcut{Qt::Key_J, Qt::MetaModifier | Qt::AltModifier}));

    // Closed, the window leaves Thunar in front.
    ASSERT_TRUE(typeKeys({"ctrl+w"}));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().isEmpty(); }));
    expectHotkeyOpensTheSelection();
}

// A new user on a desktop without a tray: onboarding finished with its
// start-at-login choice left on writes a valid autostart entry; Corvanta
// started as that entry starts it at the next login shows no window, and its
// rule hotkey works over Thunar. The user's clipboard comes back whole, and a
// clipboard manager keeps it when Corvanta ends with the session.
TEST_F(SettingsEndToEnd, OnboardedOnceStartsQuietlyAtLoginWithWorkingHotkeys) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    EndToEnd::stopInstance(instance);
    Route text = EndToEnd::recorderRoute("custom.txt", "Text", "txt", {"test.HotkeyEditor"});
    text.rules = {EndToEnd::hotkeyRule(QStringLiteral("test.HotkeyEditor"))};
    EndToEnd::writeSettings({text}, {text.rules.first().hotkeyName(), "Meta+Alt+J"});
    QFile::remove(sandbox.configHome() + QStringLiteral("/Corvanta/Corvanta.conf"));

    ASSERT_TRUE(EndToEnd::startInstance(instance, QProcessEnvironment::systemEnvironment(), {}));
    ASSERT_FALSE(EndToEnd::activateNewest({"--name", "^Welcome to Corvanta$"}).isEmpty());
    ASSERT_TRUE(typeKeys({"Return", "Return", "Return"}));
    const QString entry = sandbox.configHome() + "/autostart/io.corvanta.Corvanta.desktop";
    ASSERT_TRUE(waitUntil([&entry] { return QFile::exists(entry); }));
    const EndToEnd::ProcessResult validated = EndToEnd::run("desktop-file-validate", {entry});
    EXPECT_TRUE(validated.ok() && validated.output().isEmpty()) << validated.output().data();
    EndToEnd::stopInstance(instance);

    const QStringList exec = QProcess::splitCommand(QString::fromUtf8(readFile(entry))
                                                        .section(QStringLiteral("\nExec="), 1)
                                                        .section('\n', 0, 0));
    ASSERT_EQ(exec, (QStringList{EndToEnd::corvanta(), "--login"}));
    ASSERT_TRUE(
        EndToEnd::startInstance(instance, QProcessEnvironment::systemEnvironment(), exec.mid(1)));
    QThread::msleep(1500); // launching done, the hotkey grabbed
    EXPECT_EQ(EndToEnd::visibleWindows({"--pid", QString::number(instance.processId())}),
              QStringList())
        << "no window at login";

    // A clipboard manager that keeps only what the clipboard's owner hands it.
    ASSERT_TRUE(EndToEnd::start(seed, CLIPBOARD_SEED_PATH, {"before the hotkey", "second"}));
    ASSERT_TRUE(EndToEnd::start(manager, CLIPBOARD_MANAGER_PATH));
    ASSERT_TRUE(seed->waitForReadyRead(10000) && manager->waitForReadyRead(10000));
    expectHotkeyOpensTheSelection();
    EXPECT_EQ(EndToEnd::clipboard("text/plain"), "before the hotkey");
    EXPECT_EQ(EndToEnd::clipboard("application/x-corvanta-test"), "second");
    // Corvanta serves the restored clipboard now; when it ends with the
    // session (SIGTERM), the manager keeps it.
    EndToEnd::end({&seed});
    EndToEnd::stopInstance(instance);
    EXPECT_EQ(instance.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(EndToEnd::clipboard("text/plain"), "before the hotkey");
}

// In a real tray (trayer, an XEmbed tray host) the tray menu's "Recently Routed"
// → file → "Show Why…" shows what decided then and what would decide now.
namespace {
class TrayEndToEnd : public SettingsEndToEnd {
protected:
    void SetUp() override {
        ASSERT_TRUE(EndToEnd::start(tray, QStringLiteral("trayer"), {"--edge", "top"}));
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"); // the instance joins the AT-SPI bus
        SettingsEndToEnd::SetUp();
    }
};
} // namespace

TEST_F(TrayEndToEnd, RecentlyRoutedShowsWhyAFileOpenedThere) {
    ASSERT_TRUE(ok(EndToEnd::corvanta(), {"open", QFile::decodeName(selected.first())}));
    ASSERT_EQ(SandboxHelpers::records(1).size(), 1);
    // The instance's one visible window is its icon, shown once the tray embeds it.
    QStringList icon;
    ASSERT_TRUE(waitUntil([&] {
        icon = EndToEnd::visibleWindows({"--pid", QString::number(instance.processId())});
        return !icon.isEmpty();
    }));
    ASSERT_TRUE(ok("xdotool", {"mousemove", "--window", icon.first(), "8", "8", "click", "1"}));
    QThread::msleep(500);
    // Past every route's submenu to "Recently Routed", then the file, "Show Why…".
    const auto decoded = RoutesFileCodec::decode(routesBytes());
    const QStringList down(std::get<RouteStoreState>(decoded).routes.size() + 1, "Down");
    ASSERT_TRUE(typeKeys(down + QStringList{"Right", "Right", "Down", "Down", "Return"}));
    // Each block as a screen reader reads it: the text labelled "Then:" or "Now:".
    QHash<QString, QString> blocks;
    EXPECT_TRUE(waitUntil([&blocks] {
        for (const Heard& h : AtspiTree().application(QStringLiteral("Corvanta")))
            for (const QString& label : h.labels)
                blocks.insert(label, h.name);
        return blocks.contains(QStringLiteral("Now:"));
    }));
    EXPECT_TRUE(blocks.value("Then:").startsWith("It was opened with Corvanta") &&
                blocks.value("Then:").endsWith("Route: Plain Text\nDecided by: Default Rule\n"
                                               "Result: opened in Hotkey Editor"))
        << blocks.value("Then:").toStdString();
    EXPECT_TRUE(blocks.value("Now:").endsWith("Result: would open in Hotkey Editor"))
        << blocks.value("Now:").toStdString();
}
