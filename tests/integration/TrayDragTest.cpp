// Drags on a real X server (xvfb-run, with openbox as the window manager):
// the tray's drag watch sees a drag of another program reach the icon, and a
// file dragged from that program onto the palette teaches its type. Also the
// tray's and the picker's other questions to the X server.
#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/MenuBarDropController.h"
#include "core/model/LocalFileURL.h"
#include "platform/linux/LinuxDesktopTray.h"
#include "platform/linux/X11Compositing.h"
#include "tests/support/SelectionOwnerClient.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
const QRect icon(600, 0, 24, 24);

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// Lets the drag watch and the drag source catch up with the pointer.
void settle(int ms = 250) {
    QTest::qWait(ms);
}

class TrayDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.filePath(QStringLiteral("plan.org"));
        ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
        QDir().mkpath(dir.filePath(QStringLiteral("Drafts")));
    }
    void TearDown() override {
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        source.kill();
        source.waitForFinished();
    }
    void dropFileOntoPalette(const QUrl& url);
    // The drag source showing, with nothing pressed.
    void startSource(const QStringList& paths) {
        source.start(QStringLiteral(CORVANTA_DRAG_SOURCE_PATH), paths);
        ASSERT_TRUE(source.waitForStarted());
        ASSERT_TRUE(
            xdotool({"search", "--sync", "--onlyvisible", "--name", "corvanta drag source"}));
        settle(500);
    }
    // Presses on the source and moves far enough for a drag to start.
    void pickUp() {
        ASSERT_TRUE(xdotool({"mousemove", "100", "130"}));
        settle(100);
        ASSERT_TRUE(xdotool({"mousedown", "1"}));
        settle(100);
        for (const char* x : {"110", "130", "160"})
            ASSERT_TRUE(xdotool({"mousemove", x, "140"}));
        settle();
    }
    // Another program's drag of `path` onto the icon.
    void dragOverIcon(const QString& path) {
        ASSERT_NO_FATAL_FAILURE(startSource({path}));
        ASSERT_NO_FATAL_FAILURE(pickUp());
        moveTo(612, 12);
    }
    // The palette is centred 4 px below the icon: x 512 to 712, y 28 to 138.
    // A hand moves on to it in small steps.
    void moveDownOntoPalette() {
        for (int y = 40; y <= 80; y += 10) {
            ASSERT_TRUE(xdotool({"mousemove", "612", QString::number(y)}));
            settle(40);
        }
    }
    void moveTo(int x, int y) {
        ASSERT_TRUE(xdotool({"mousemove", QString::number(x), QString::number(y)}));
        settle();
    }

    QTemporaryDir dir;
    QString file;
    QProcess source;
};

// The drop palette wired to the tray icon's drag watch, as the delegate wires it.
struct PaletteOnIcon {
    PaletteOnIcon() {
        tray.watchDragsOverIcon(geometry().icon, [this](bool over) {
            if (over)
                drops.showPalette();
            else
                drops.dragLeftIcon();
        });
    }
    static TrayGeometry geometry() {
        TrayGeometry geometry;
        geometry.icon = [] { return std::optional<QRect>(icon); };
        geometry.visibleArea = [](const QPoint&) { return QRect(0, 0, 1280, 800); };
        return geometry;
    }

    LinuxDesktopTray tray;
    QList<QUrl> taught;
    MenuBarDropController drops{[this](const QUrl& url) { taught << url; },
                                [](DropPaletteSurface::Callbacks callbacks) {
                                    return std::make_unique<DropPalettePanel>(std::move(callbacks),
                                                                              false);
                                },
                                geometry(), MenuBarDropController::eventLoopScheduler(qApp)};
};

TEST(DesktopTray, TrayThatAppearsLaterAndGoesAgainIsReported) {
    LinuxDesktopTray tray;
    ASSERT_FALSE(tray.isAvailable()) << "a bare X server has no tray";
    QList<bool> changes;
    tray.watchAvailability([&](bool available) { changes << available; });

    // Another client, as an XEmbed tray is: it owns the screen's tray selection.
    SelectionOwnerClient host("_NET_SYSTEM_TRAY_S0");
    ASSERT_TRUE(host.connected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 3000));
    EXPECT_EQ(changes, QList<bool>{true});
    EXPECT_TRUE(tray.isAvailable());

    host.disconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.size() == 2; }, 3000));
    EXPECT_EQ(changes, (QList<bool>{true, false}));
}

// Whether the picker may be translucent: openbox is no compositing manager.
TEST(X11Compositing, TranslucentOnlyWhileAManagerOwnsTheScreensSelection) {
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());
    SelectionOwnerClient manager("_NET_WM_CM_S0"); // another client, as a manager is
    ASSERT_TRUE(manager.connected());
    EXPECT_TRUE(X11Compositing::windowsCanBeTranslucent());
    manager.disconnect();
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());
}

TEST(DesktopTray, TraySettingsAreTheDesktopsOwnOrNone) {
    using Command = LinuxDesktopTray::SettingsCommand;
    const QString gnome = "org.gnome.Extensions", manager = "com.mattjakeman.ExtensionManager";
    const QStringList both{gnome, manager};
    const struct {
        QStringList desktops;
        QStringList entries;
        bool xfcePanel;
        std::optional<Command> command;
    } cases[] = {
        {{"GNOME"}, both, false, Command{gnome, {}}},
        {{"ubuntu", "GNOME"}, {manager}, false, Command{manager, {}}}, // Ubuntu's session names
        {{"GNOME"}, {}, false, std::nullopt},
        {{"XFCE"}, {}, true, Command{{}, {"xfce4-panel", "--preferences"}}},
        {{"XFCE"}, {}, false, std::nullopt},
        {{"KDE"}, both, true, std::nullopt}, // nothing to open
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.desktops.join(':') + ' ' + c.entries.join(',')));
        const auto command = LinuxDesktopTray::traySettingsCommand(
            c.desktops, [&](const QString& id) { return c.entries.contains(id); },
            [&](const QString& program) {
                return c.xfcePanel && program == QLatin1String("xfce4-panel");
            });
        EXPECT_EQ(command, c.command);
    }
}

TEST_F(TrayDragTest, WatchSeesAnotherProgramsDragReachAndLeaveTheIcon) {
    LinuxDesktopTray tray;
    QList<bool> seen;
    tray.watchDragsOverIcon([] { return std::optional<QRect>(icon); },
                            [&](bool over) { seen << over; });
    startSource({file});
    moveTo(612, 12);
    EXPECT_TRUE(seen.isEmpty()) << "the pointer alone is no drag";

    moveTo(100, 130);
    pickUp();
    moveTo(612, 12);
    ASSERT_EQ(seen, QList<bool>{true});
    moveTo(612, 400);
    EXPECT_EQ(seen, (QList<bool>{true, false}));
    moveTo(605, 5);
    EXPECT_EQ(seen, (QList<bool>{true, false, true}));
    ASSERT_TRUE(xdotool({"mouseup", "1"}));
    settle();
    EXPECT_EQ(seen, (QList<bool>{true, false, true, false})) << "the drag ended over the icon";
    moveTo(100, 130);
    moveTo(612, 12);
    EXPECT_EQ(seen.size(), 4) << "nothing after the drag";
}

// Drags `url` (a file's, percent-encoded) over the icon onto the palette,
// which teaches it once.
void TrayDragTest::dropFileOntoPalette(const QUrl& url) {
    PaletteOnIcon rig;
    ASSERT_NO_FATAL_FAILURE(dragOverIcon(QString::fromLatin1(url.toEncoded())));
    ASSERT_TRUE(rig.drops.isPaletteShown()) << "the drag reached the icon";
    ASSERT_NO_FATAL_FAILURE(moveDownOntoPalette());
    settle(500);
    EXPECT_TRUE(rig.drops.isPaletteShown()) << "entering the palette cancelled the hide";
    ASSERT_TRUE(xdotool({"mouseup", "1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.taught.isEmpty(); }, 3000));
    EXPECT_FALSE(rig.drops.isPaletteShown());
    ASSERT_EQ(rig.taught.size(), 1);
    EXPECT_EQ(LocalFileURL::nativePath(rig.taught.first()), LocalFileURL::nativePath(url));
    ASSERT_TRUE(QTest::qWaitFor([&] { return source.canReadLine(); }, 3000));
    EXPECT_EQ(source.readAll().trimmed(), "drag ended: 1") << "the source was told: copied";
    settle();
    EXPECT_EQ(rig.taught.size(), 1);
}

TEST_F(TrayDragTest, FilesDraggedOverTheIconOntoThePaletteAreTaughtOnceByTheirBytes) {
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/\xff\xfe plan.org";
    ASSERT_EQ(::close(::creat(bytes.constData(), 0644)), 0);
    for (const QUrl& url : {QUrl::fromLocalFile(file), LocalFileURL::fromNativePath(bytes)}) {
        ASSERT_NO_FATAL_FAILURE(dropFileOntoPalette(url));
        source.kill();
        source.waitForFinished();
    }
}

TEST_F(TrayDragTest, FolderDraggedOntoThePaletteIsRefused) {
    PaletteOnIcon rig;
    ASSERT_NO_FATAL_FAILURE(dragOverIcon(dir.filePath(QStringLiteral("Drafts"))));
    ASSERT_NO_FATAL_FAILURE(moveDownOntoPalette());
    ASSERT_TRUE(xdotool({"mouseup", "1"}));
    settle(800);
    EXPECT_TRUE(rig.taught.isEmpty());
    EXPECT_FALSE(rig.drops.isPaletteShown()) << "hidden 0.4 s after the refused drag ended";
}
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // Drops find their window through the window manager's WM_STATE.
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), {});
    QTest::qWait(500);
    const int status = RUN_ALL_TESTS();
    windowManager.kill();
    windowManager.waitForFinished();
    return status;
}
