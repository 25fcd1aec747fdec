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
#include <QSize>
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

class SettingsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installed = EndToEnd::installCorvanta().isEmpty(); }

    void SetUp() override {
        startInstance({EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                               {"org.example.Alpha", "org.example.Beta"})});
    }

    void startInstance(const QList<Route>& routes) {
        ASSERT_TRUE(installed);
        EndToEnd::writeSettings(routes);
        // No onboarding on top of the window.
        ASSERT_TRUE(writeFile(LinuxSandbox::current().configHome() +
                                  QStringLiteral("/Corvanta/Corvanta.conf"),
                              "[General]\nhasCompletedMenuBarOnboarding=true\n"));
        ASSERT_TRUE(EndToEnd::startInstance(instance));
    }

    void TearDown() override { EndToEnd::stopInstance(instance); }

    static inline bool installed = false;
    QProcess instance;
};

TEST_F(SettingsEndToEnd, SettingsActionShowsTheWindowWhichCloseOnlyHides) {
    // The instance rewrites the file once as it starts (rediscovered editors).
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
    const QString window = settingsWindows().first();
    EXPECT_EQ(EndToEnd::geometry(window).size(), QSize(560, 860));

    ok(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    ok(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "ctrl+w"});
    EXPECT_TRUE(waitUntil([] { return settingsWindows().isEmpty(); })) << "Ctrl+W hides it";
    EXPECT_TRUE(LinuxSandbox::corvantaInstancePid().has_value()) << "and the tray stays";

    // Shown again, and still one window (the presenter may give it a new native
    // window as the taskbar entry comes and goes).
    activateAction(QStringLiteral("settings"));
    ASSERT_TRUE(waitUntil([] { return !settingsWindows().isEmpty(); }));
    activateAction(QStringLiteral("settings"));
    QThread::msleep(500);
    EXPECT_EQ(settingsWindows().size(), 1);
    EXPECT_EQ(EndToEnd::geometry(settingsWindows().first()).size(), QSize(560, 860));
    EXPECT_EQ(routesBytes(), before);
}

// Sends keys to the focused window, one after another, as typed.
bool typeKeys(const QStringList& keys) {
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150")};
    return ok(QStringLiteral("xdotool"), arguments + keys);
}

// The settings window with an EWMH window manager, so Thunar is the frontmost
// program when the hotkey is pressed, and an editor that records its files.
class SettingsRuleEndToEnd : public SettingsEndToEnd {
protected:
    void SetUp() override {
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
        startInstance({text});
    }

    void TearDown() override {
        SettingsEndToEnd::TearDown();
        EndToEnd::end({&thunar, &windowManager, &tray});
    }

    // Super+Alt+J over Thunar with both files selected opens them in the rule's editor.
    void expectHotkeyOpensTheSelection() {
        ASSERT_NO_FATAL_FAILURE(selectInThunar());
        ASSERT_TRUE(ok(QStringLiteral("xdotool"), {"key", "super+alt+j"}));
        EXPECT_EQ(SandboxHelpers::records(1),
                  (QList<QList<QByteArray>>{{"--hotkey", selected.at(0), selected.at(1)}}));
    }
    // Thunar in front with both files selected.
    void selectInThunar() {
        ASSERT_TRUE(EndToEnd::start(thunar, QStringLiteral("thunar"), {QFile::decodeName(folder)}));
        ASSERT_FALSE(EndToEnd::activateNewest({"--name", "^from settings"}).isEmpty());
        QThread::msleep(800); // the folder loads after the window maps
        ASSERT_TRUE(typeKeys({"ctrl+a"}));
        QThread::msleep(300);
    }

    QByteArray folder;
    QList<QByteArray> selected;
    std::unique_ptr<QProcess> windowManager, thunar, tray;
};
} // namespace

TEST_F(SettingsRuleEndToEnd, ARuleAddedWithKeysOpensTheSelectionWithItsHotkey) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    // The instance grabs hotkeys and rewrites the file once launching is done.
    QThread::msleep(1500);
    activateAction(QStringLiteral("settings"));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().size() == 1; }));
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
        for (const Route& route : state ? state->routes : QList<Route>()) {
            if (route.id == QStringLiteral("custom.txt") && !route.rules.isEmpty())
                saved = route.rules.first();
        }
        return saved.has_value();
    })) << routesBytes().toStdString();
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->when.predicates.size(), 1);
    EXPECT_EQ(saved->when.predicates.first().kind, PredicateKind::hotkey);
    EXPECT_EQ(saved->when.predicates.first().hotkeyName, saved->hotkeyName());
    EXPECT_EQ(saved->action.kind, RuleActionKind::specificEditor);
    EXPECT_EQ(saved->action.effectiveBundleIDs(), QStringList{"test.HotkeyEditor"});
    EXPECT_EQ(ShortcutTable(sandbox.configHome() + QStringLiteral("/Corvanta/shortcuts.json"))
                  .get(saved->hotkeyName()),
              (Shortcut{Qt::Key_J, Qt::MetaModifier | Qt::AltModifier}));

    // Closed, the window leaves Thunar in front with both files selected.
    ASSERT_TRUE(typeKeys({"ctrl+w"}));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().isEmpty(); }));
    expectHotkeyOpensTheSelection();
}

// A new user on a desktop without a tray: onboarding finished with its
// start-at-login choice left on writes a valid autostart entry; Corvanta
// started as that entry starts it at the next login shows no window, and its
// rule hotkey works over Thunar.
TEST_F(SettingsRuleEndToEnd, OnboardedOnceStartsQuietlyAtLoginWithWorkingHotkeys) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    EndToEnd::stopInstance(instance);
    Route text = EndToEnd::recorderRoute("custom.txt", "Text", "txt", {"test.HotkeyEditor"});
    text.rules = {EndToEnd::hotkeyRule(QStringLiteral("test.HotkeyEditor"))};
    EndToEnd::writeSettings({text}, {{text.rules.first().hotkeyName(), "Meta+Alt+J"}});
    QFile::remove(sandbox.configHome() + QStringLiteral("/Corvanta/Corvanta.conf"));

    ASSERT_TRUE(EndToEnd::startInstance(instance, QProcessEnvironment::systemEnvironment(), {}));
    ASSERT_FALSE(EndToEnd::activateNewest({"--name", "^Welcome to Corvanta$"}).isEmpty());
    ASSERT_TRUE(typeKeys({"Return", "Return", "Return"}));
    const QString entry = sandbox.configHome() + "/autostart/io.corvanta.Corvanta.desktop";
    ASSERT_TRUE(waitUntil([&entry] { return QFile::exists(entry); }));
    QByteArray complaints;
    EXPECT_TRUE(ok(QStringLiteral("desktop-file-validate"), {entry}, &complaints))
        << complaints.constData();
    EXPECT_TRUE(complaints.isEmpty()) << complaints.constData();
    EndToEnd::stopInstance(instance);

    QStringList exec;
    for (const QByteArray& line : readFile(entry).split('\n')) {
        if (line.startsWith("Exec="))
            exec = QProcess::splitCommand(QString::fromUtf8(line.mid(5)));
    }
    ASSERT_EQ(exec, (QStringList{EndToEnd::corvanta(), "--login"}));
    ASSERT_TRUE(
        EndToEnd::startInstance(instance, QProcessEnvironment::systemEnvironment(), exec.mid(1)));
    QThread::msleep(1500); // launching done, the hotkey grabbed
    EXPECT_EQ(EndToEnd::visibleWindows({"--pid", QString::number(instance.processId())}),
              QStringList())
        << "no window at login";

    expectHotkeyOpensTheSelection();
}

// In a real tray (trayer, an XEmbed tray host) the tray menu's "Recently Routed"
// → file → "Show Why…" shows what decided then and what would decide now.
namespace {
class TrayEndToEnd : public SettingsRuleEndToEnd {
protected:
    void SetUp() override {
        ASSERT_TRUE(EndToEnd::start(tray, QStringLiteral("trayer"), {"--edge", "top"}));
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"); // the instance joins the AT-SPI bus
        SettingsRuleEndToEnd::SetUp();
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
