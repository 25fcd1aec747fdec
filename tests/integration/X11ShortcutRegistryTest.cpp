// The shortcut registry against a real X server (run under xvfb-run): grabs,
// presses sent with xdotool, and the stored table on disk.
#include "platform/linux/X11ShortcutRegistry.h"
#include "core/platform/ShortcutModifiers.h"
#include "platform/linux/X11KeyGrabber.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {
const Shortcut superShiftE{Qt::Key_E, {ShortcutModifiers::command | ShortcutModifiers::shift}};
const Shortcut ctrlAltF5{Qt::Key_F5, {ShortcutModifiers::control | ShortcutModifiers::option}};

// Sends keys the way a user types them (xdotool through XTEST).
void xdotoolKey(const QString& keys) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}), 0)
        << qPrintable(keys);
}

// Every warning printed while it lives.
struct WarningLog {
    static inline QStringList lines;
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { lines.append(text); });
    WarningLog() { lines.clear(); }
    ~WarningLog() { qInstallMessageHandler(previous); }
    qsizetype count(const QString& part) const { return lines.filter(part).size(); }
};

class X11ShortcutRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under xvfb-run";
        registry = std::make_unique<X11ShortcutRegistry>(tablePath());
        ASSERT_TRUE(registry->hasDisplay());
    }
    QString tablePath() const { return dir.filePath(QStringLiteral("Corvanta/shortcuts.json")); }
    // Installs a handler for `name` that counts its runs.
    ShortcutGrab count(const QString& name) {
        return registry->onKeyDown(name, [this, name] { ++runs[name]; });
    }
    bool pressed(const QString& keys, const QString& name) {
        // A person's presses are apart: the registry sees the last one's key up.
        QTest::qWait(100);
        const int before = runs.value(name);
        xdotoolKey(keys);
        return QTest::qWaitFor([&] { return runs.value(name) > before; });
    }

    QTemporaryDir dir;
    std::unique_ptr<X11ShortcutRegistry> registry;
    QHash<QString, int> runs;
};

TEST_F(X11ShortcutRegistryTest,
       FiresWithEveryLockStateAndOncePerPressHeldOrNotAfterTheModifiersChanged) {
    registry->setShortcut(superShiftE, "rule-A");
    ASSERT_EQ(count("rule-A"), ShortcutGrab::active);
    EXPECT_TRUE(pressed("super+shift+e", "rule-A"));
    EXPECT_EQ(runs["rule-A"], 1);

    xdotoolKey("Num_Lock");
    EXPECT_TRUE(pressed("super+shift+e", "rule-A")) << "NumLock on";
    xdotoolKey("Caps_Lock");
    EXPECT_TRUE(pressed("super+shift+e", "rule-A")) << "NumLock and CapsLock on";
    xdotoolKey("Num_Lock");
    xdotoolKey("Caps_Lock");

    // Other modifiers are another combination.
    xdotoolKey("super+e");
    xdotoolKey("ctrl+super+shift+e");
    QTest::qWait(200);
    EXPECT_EQ(runs["rule-A"], 3);

    // Held down longer than the server's auto-repeat delay: repeats arrive meanwhile.
    ASSERT_EQ(QProcess::execute("xdotool", {"keydown", "super+shift+e"}), 0);
    QTest::qWait(1500);
    ASSERT_EQ(QProcess::execute("xdotool", {"keyup", "super+shift+e"}), 0);
    QTest::qWait(100);
    EXPECT_EQ(runs["rule-A"], 4);
    EXPECT_TRUE(pressed("super+shift+e", "rule-A")) << "a new press after the release";

    // No keyboard layout here has Scroll_Lock on a modifier; a user's may. The
    // registry learns of it while grabbing already.
    ASSERT_EQ(QProcess::execute("xmodmap", {"-e", "add mod3 = Scroll_Lock"}), 0);
    const auto restore = qScopeGuard([] {
        QProcess::execute("xmodmap", {"-e", "remove mod3 = Scroll_Lock"});
    });
    QTest::qWait(200);
    xdotoolKey("Scroll_Lock");
    EXPECT_TRUE(pressed("super+shift+e", "rule-A")) << "ScrollLock on";
    xdotoolKey("Scroll_Lock");
}

TEST_F(X11ShortcutRegistryTest, AGrabAnotherClientHoldsIsReportedAndReleasedGrabsCanBeTaken) {
    X11KeyGrabber other; // another X client
    ASSERT_EQ(other.grab(ctrlAltF5), X11KeyGrabber::Result::grabbed);

    WarningLog log;
    registry->setShortcut(ctrlAltF5, "rule-B");
    EXPECT_EQ(count("rule-B"), ShortcutGrab::heldByAnotherProgram);
    EXPECT_EQ(log.count("another program holds the keys"), 1);
    EXPECT_TRUE(registry->isHeldByAnotherProgram(ctrlAltF5));

    // Recording other keys for the name takes them.
    EXPECT_EQ(registry->setShortcut(superShiftE, "rule-B"), ShortcutGrab::active);
    EXPECT_FALSE(registry->isHeldByAnotherProgram(superShiftE)) << "held by us, not another";
    EXPECT_EQ(other.grab(superShiftE), X11KeyGrabber::Result::heldByAnotherProgram);

    // Removing the handler gives the keys back to the desktop.
    registry->removeHandler("rule-B");
    EXPECT_EQ(other.grab(superShiftE), X11KeyGrabber::Result::grabbed);
    other.ungrab(superShiftE);
    other.ungrab(ctrlAltF5);
    EXPECT_FALSE(registry->isHeldByAnotherProgram(ctrlAltF5));
}

TEST_F(X11ShortcutRegistryTest, NamesSharingKeysShareOneGrabWhichTheGlobalSwitchReleases) {
    registry->setShortcut(superShiftE, "rule-A");
    registry->setShortcut(superShiftE, "rule-B");
    count("rule-A");
    count("rule-B");
    ASSERT_TRUE(pressed("super+shift+e", "rule-B"));
    EXPECT_EQ(runs["rule-A"], 1) << "one press runs every handler of the keys";

    registry->setEnabled(false);
    EXPECT_EQ(registry->grabState("rule-A"), ShortcutGrab::paused);
    {
        // A recorder (any client) receives the very keys now.
        X11KeyGrabber other;
        EXPECT_EQ(other.grab(superShiftE), X11KeyGrabber::Result::grabbed);
    }
    xdotoolKey("super+shift+e");
    QTest::qWait(200);
    EXPECT_EQ(runs["rule-B"], 1);
    registry->setEnabled(true);
    EXPECT_EQ(registry->grabState("rule-A"), ShortcutGrab::active);

    // The grab stays while one of them still needs it.
    registry->removeHandler("rule-A");
    X11KeyGrabber other;
    EXPECT_EQ(other.grab(superShiftE), X11KeyGrabber::Result::heldByAnotherProgram);
    EXPECT_TRUE(pressed("super+shift+e", "rule-B"));
    EXPECT_EQ(runs["rule-A"], 1);
    // Clearing the last name's keys releases them.
    EXPECT_EQ(registry->setShortcut(std::nullopt, "rule-B"), ShortcutGrab::notRegistered);
    EXPECT_EQ(other.grab(superShiftE), X11KeyGrabber::Result::grabbed);
}

// A key the layout lacks (ö in "us") does nothing until a layout has it, and
// whoever shows the state is told. In "ru,us" and "ru,gr,ua,us" the first group
// has no Latin letters, a later one has: the Latin keys are grabbed and recorded.
TEST_F(X11ShortcutRegistryTest, GrabsAndRecordedKeysFollowTheKeyboardLayout) {
    const auto restore = qScopeGuard([] {
        QProcess::execute(QStringLiteral("setxkbmap"), {"-layout", "us"});
    });
    const Shortcut superOdiaeresis{Qt::Key_Odiaeresis, ShortcutModifiers::command};
    registry->setShortcut(superOdiaeresis, "rule-O");
    registry->setShortcut(superShiftE, "rule-A");
    ASSERT_EQ(count("rule-O"), ShortcutGrab::notOnKeyboard);
    ASSERT_EQ(count("rule-A"), ShortcutGrab::active);
    std::optional<ShortcutGrab> told;
    const int observer =
        registry->addGrabStateObserver([&] { told = registry->grabState("rule-O"); });
    const auto forget = qScopeGuard([&] { registry->removeGrabStateObserver(observer); });
    for (const QString layout : {"de", "ru,us", "ru,gr,ua,us"}) {
        SCOPED_TRACE(qPrintable(layout));
        const bool hasOdiaeresis = layout == "de";
        told.reset();
        ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {"-layout", layout}), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return told == (hasOdiaeresis ? ShortcutGrab::active : ShortcutGrab::notOnKeyboard);
        }));
        EXPECT_EQ(registry->canRepresent(superOdiaeresis), hasOdiaeresis);
        if (hasOdiaeresis) {
            EXPECT_TRUE(pressed("super+odiaeresis", "rule-O"));
            continue;
        }
        // Typed with the first group active the key is Cyrillic U: the same key.
        EXPECT_TRUE(pressed("super+shift+Cyrillic_u", "rule-A"));
        // A recorder given that letter takes E (keycode 26 with evdev).
        EXPECT_EQ(registry->keyOnScanCode(26), Qt::Key_E);
    }
}

TEST(X11ShortcutRegistryWithoutDisplay, StoresShortcutsRegistersNothingAndSaysSoOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shortcuts.json"));
    WarningLog log;
    X11ShortcutRegistry registry(path, ":97"); // no server there
    EXPECT_FALSE(registry.hasDisplay());
    registry.setShortcut(superShiftE, "rule-A");
    registry.setShortcut(ctrlAltF5, "rule-B");
    EXPECT_EQ(registry.onKeyDown("rule-A", [] {}), ShortcutGrab::unavailable);
    EXPECT_EQ(registry.onKeyDown("rule-B", [] {}), ShortcutGrab::unavailable);
    EXPECT_EQ(log.count("no X11 display"), 1);
    EXPECT_EQ(registry.shortcutDisplayText("rule-A"), QStringLiteral("Super+Shift+E"));
    EXPECT_EQ(X11ShortcutRegistry(path, ":97").getShortcut("rule-B"), ctrlAltF5);
}

// Entries this program cannot use (a newer one's, a hand edit) are reported once
// and written back as they were; the rest round-trips through the file.
TEST(ShortcutTableWrites, RoundTripAtomicallyKeepingEntriesThatCannotBeUsed) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Corvanta/shortcuts.json"));
    writeFile(path, "{\"version\":1,\"shortcuts\":{\"rule-a\":\"Meta+E\",\"rule-b\":\"E+E\","
                    "\"rule-q\":\"Q\",\"rule-n\":[1, 2.5]}}");
    WarningLog log;
    ShortcutTable table(path);
    const std::pair<const char*, Shortcut> recorded[] = {
        {"rule-c", superShiftE},
        {"rule-d", ctrlAltF5},
        {"rule-e", {Qt::Key_Exclam, Qt::MetaModifier}},
        {"rule-f", {Qt::Key_F12, {}}}};
    for (const auto& [name, shortcut] : recorded)
        EXPECT_TRUE(table.set(name, shortcut)) << name;
    EXPECT_EQ(log.count("\"rule-b\""), 1) << "reported once";
    EXPECT_EQ(log.count("\"rule-q\" has no Super, Alt or Ctrl"), 1);
    EXPECT_FALSE(table.get(QStringLiteral("rule-q"))) << "never grabbed";
    const QJsonObject written =
        QJsonDocument::fromJson(readFile(path)).object().value("shortcuts").toObject();
    EXPECT_EQ(written, (QJsonObject{{"rule-a", "Meta+E"},
                                    {"rule-b", "E+E"},
                                    {"rule-q", "Q"},
                                    {"rule-n", QJsonArray{1, 2.5}},
                                    {"rule-c", "Meta+Shift+E"},
                                    {"rule-d", "Ctrl+Alt+F5"},
                                    {"rule-e", "Meta+!"},
                                    {"rule-f", "F12"}}));
    const ShortcutTable reread(path);
    for (const auto& [name, shortcut] : recorded)
        EXPECT_EQ(reread.get(name), shortcut) << name;
    // Nothing but the table is left in the folder: the write went through a
    // temporary file renamed into place.
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList{"shortcuts.json"});

    // Recording the name again replaces its unusable entry; none clears a name.
    ASSERT_TRUE(table.set(QStringLiteral("rule-q"), ctrlAltF5));
    ASSERT_TRUE(table.set(QStringLiteral("rule-c"), std::nullopt));
    EXPECT_EQ(ShortcutTable(path).get(QStringLiteral("rule-q")), ctrlAltF5);
    EXPECT_FALSE(ShortcutTable(path).get(QStringLiteral("rule-c")));
    EXPECT_EQ(ShortcutTable(path).get(QStringLiteral("rule-d")), ctrlAltF5);
}

// A damaged table is never written over (reported once); a write that fails is
// reported each time. Either way the session keeps what was recorded.
TEST(ShortcutTableWrites, ATableThatCannotBeWrittenKeepsTheKeysForTheSession) {
    const struct {
        QByteArray bytes; // none: the table's folder is a file, unwritable even by root
        const char* warning;
        int warnings;
    } cases[] = {
        {"{\"version\":1,\"shortcuts\":{\"rule-a\":\"Meta+E\",", "could not be read completely", 1},
        {"{\"version\":2,\"shortcuts\":{}}", "could not be read completely", 1}, // newer program
        {{}, "cannot write", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.constData());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Corvanta/shortcuts.json"));
        writeFile(c.bytes.isEmpty() ? dir.filePath(QStringLiteral("Corvanta")) : path, c.bytes);
        WarningLog log;
        ShortcutTable table(path);
        EXPECT_FALSE(table.set(QStringLiteral("rule-c"), superShiftE));
        EXPECT_FALSE(table.set(QStringLiteral("rule-d"), ctrlAltF5));
        EXPECT_TRUE(table.lastWriteError().has_value());
        EXPECT_EQ(log.count(c.warning), c.warnings);
        EXPECT_EQ(readFile(path), c.bytes) << "left as it was";
        EXPECT_EQ(table.get(QStringLiteral("rule-c")), superShiftE);
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    // Held for the whole run: an X server whose last client leaves resets, and a
    // test connecting during the reset would find no display.
    xcb_connection_t* keeper = xcb_connect(nullptr, nullptr);
    const int status = RUN_ALL_TESTS();
    xcb_disconnect(keeper);
    return status;
}
