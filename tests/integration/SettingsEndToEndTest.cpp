// The settings window of the tray instance on a real X server: the desktop's
// "settings" action shows it, Ctrl+W hides it, and the next actions show it
// again, never a second one; looking at the settings never writes the routes file.
// A rule added in it with keys alone, hotkey included, then opens the files
// selected in Thunar when that hotkey is pressed.
#include "core/model/RoutesFileCodec.h"
#include "platform/linux/ShortcutTable.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSize>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace {
constexpr int waitMs = 15000;

using EndToEnd::ok;
using SandboxHelpers::routesBytes;
using SandboxHelpers::waitUntil;

bool activateWindow(const QString& window) {
    return ok(QStringLiteral("xdotool"), {"windowactivate", "--sync", window}) &&
           ok(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
}

// Visible windows titled like the settings window (or found by `search`).
QStringList settingsWindows(const QStringList& search = {"--name", "^corvanta \u00b7 settings$"}) {
    QByteArray output;
    ok(QStringLiteral("xdotool"), QStringList{"search", "--onlyvisible"} + search, &output);
    return QString::fromLatin1(output).split('\n', Qt::SkipEmptyParts);
}

// Activates the (last) visible window `search` finds, once there is one.
bool activateFound(const QStringList& search) {
    return waitUntil([&search] {
        const QStringList found = settingsWindows(search);
        return !found.isEmpty() && activateWindow(found.last());
    });
}

QSize windowSize(const QString& window) {
    QByteArray output;
    ok(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", window}, &output);
    int width = 0, height = 0;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("WIDTH="))
            width = line.mid(6).toInt();
        else if (line.startsWith("HEIGHT="))
            height = line.mid(7).toInt();
    }
    return {width, height};
}

void activateAction(const QString& action) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("io.corvanta.Corvanta"), QStringLiteral("/io/corvanta/Corvanta"),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
    call.setArguments({action, QVariantList(), QVariantMap()});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, waitMs);
    EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
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
        QFile conf(LinuxSandbox::current().configHome() +
                   QStringLiteral("/Corvanta/Corvanta.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly) &&
                    conf.write("[General]\nhasCompletedMenuBarOnboarding=true\n") > 0);
        conf.close();
        ASSERT_TRUE(EndToEnd::startInstance(instance));
    }

    void TearDown() override { EndToEnd::stopInstance(instance); }

    static inline bool installed = false;
    QProcess instance;
};
} // namespace

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
    EXPECT_EQ(windowSize(window), QSize(560, 860));

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
    EXPECT_EQ(windowSize(settingsWindows().first()), QSize(560, 860));
    EXPECT_EQ(routesBytes(), before);
}

namespace {
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
        windowManager = std::make_unique<QProcess>();
        windowManager->start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(windowManager->waitForStarted(waitMs));
        ASSERT_EQ(EndToEnd::installCorvanta({{"test.HotkeyEditor.desktop",
                                              "Name=Hotkey Editor\nExec=recorder-editor --hotkey "
                                              "%F\nMimeType=text/plain;\n"}}),
                  QString());

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
        for (auto* process : {&thunar, &windowManager}) {
            if (*process) {
                (*process)->kill();
                (*process)->waitForFinished();
            }
        }
    }

    // Thunar in front with both files selected.
    void selectInThunar() {
        thunar = std::make_unique<QProcess>();
        thunar->start(QStringLiteral("thunar"), {QFile::decodeName(folder)});
        ASSERT_TRUE(thunar->waitForStarted(waitMs));
        ASSERT_TRUE(activateFound({"--name", "^from settings"}));
        QThread::msleep(800); // the folder loads after the window maps
        ASSERT_TRUE(typeKeys({"ctrl+a"}));
        QThread::msleep(300);
    }

    QByteArray folder;
    QList<QByteArray> selected;
    std::unique_ptr<QProcess> windowManager, thunar;
};
} // namespace

TEST_F(SettingsRuleEndToEnd, ARuleAddedWithKeysOpensTheSelectionWithItsHotkey) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    // The instance grabs hotkeys and rewrites the file once launching is done.
    QThread::msleep(1500);
    activateAction(QStringLiteral("settings"));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().size() == 1; }));
    ASSERT_TRUE(activateWindow(settingsWindows().first()));
    QThread::msleep(300);

    // The Text type in the file type pop-up; past Add Type and Remove Type the tab
    // bar, its rules tab, past the rules list Add Rule.
    ASSERT_TRUE(
        typeKeys({"t", "Tab", "Tab", "Tab", "Right", "Right", "Right", "Tab", "Tab", "space"}));
    ASSERT_TRUE(waitUntil([] {
        return !settingsWindows({"--name", "^Add Rule$"}).isEmpty();
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
    QFile table(sandbox.configHome() + QStringLiteral("/Corvanta/shortcuts.json"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QString stored = QJsonDocument::fromJson(table.readAll())
                               .object()
                               .value("shortcuts")
                               .toObject()
                               .value(saved->hotkeyName())
                               .toString();
    EXPECT_EQ(ShortcutTable::fromText(stored),
              (Shortcut{Qt::Key_J, Qt::MetaModifier | Qt::AltModifier}))
        << stored.toStdString();

    // Closed, the window leaves Thunar in front with both files selected.
    ASSERT_TRUE(typeKeys({"ctrl+w"}));
    ASSERT_TRUE(waitUntil([] { return settingsWindows().isEmpty(); }));
    ASSERT_NO_FATAL_FAILURE(selectInThunar());
    ASSERT_TRUE(ok(QStringLiteral("xdotool"), {"key", "super+alt+j"}));
    EXPECT_TRUE(waitUntil([&sandbox] { return !sandbox.records().isEmpty(); }));
    EXPECT_EQ(sandbox.records(),
              (QList<QList<QByteArray>>{{"--hotkey", selected.at(0), selected.at(1)}}));
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
    ASSERT_TRUE(activateFound({"--name", "^Welcome to Corvanta$"}));
    ASSERT_TRUE(typeKeys({"Return", "Return", "Return"}));
    const QString entry = sandbox.configHome() + "/autostart/io.corvanta.Corvanta.desktop";
    ASSERT_TRUE(waitUntil([&entry] { return QFile::exists(entry); }));
    QByteArray complaints;
    EXPECT_TRUE(ok(QStringLiteral("desktop-file-validate"), {entry}, &complaints))
        << complaints.constData();
    EXPECT_TRUE(complaints.isEmpty()) << complaints.constData();
    EndToEnd::stopInstance(instance);

    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList exec;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("Exec="))
            exec = QProcess::splitCommand(QString::fromUtf8(line.mid(5)));
    }
    ASSERT_EQ(exec, (QStringList{EndToEnd::corvanta(), "--login"}));
    ASSERT_TRUE(
        EndToEnd::startInstance(instance, QProcessEnvironment::systemEnvironment(), exec.mid(1)));
    QThread::msleep(1500); // launching done, the hotkey grabbed
    EXPECT_EQ(settingsWindows({"--pid", QString::number(instance.processId())}), QStringList())
        << "no window at login";

    ASSERT_NO_FATAL_FAILURE(selectInThunar());
    ASSERT_TRUE(ok(QStringLiteral("xdotool"), {"key", "super+alt+j"}));
    EXPECT_TRUE(waitUntil([&sandbox] { return !sandbox.records().isEmpty(); }));
    EXPECT_EQ(sandbox.records(),
              (QList<QList<QByteArray>>{{"--hotkey", selected.at(0), selected.at(1)}}));
}
