// The settings window of the tray instance on a real X server: the desktop's
// "settings" action shows it, Ctrl+W hides it, and the next actions show it
// again, never a second one; looking at the settings never writes the routes file.
#include "tests/integration/LinuxSandbox.h"
#include "tests/unit/routing/RoutingTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSize>
#include <QThread>
#include <utility>

namespace {
constexpr int waitMs = 15000;

bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

using SandboxHelpers::routesBytes;
using SandboxHelpers::routesFile;
using SandboxHelpers::waitUntil;

// Visible windows titled like the settings window.
QStringList settingsWindows() {
    QByteArray output;
    run(QStringLiteral("xdotool"),
        {"search", "--onlyvisible", "--name", QStringLiteral("^corvanta \u00b7 settings$")},
        &output);
    return QString::fromLatin1(output).split('\n', Qt::SkipEmptyParts);
}

QSize windowSize(const QString& window) {
    QByteArray output;
    run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", window}, &output);
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
    static void SetUpTestSuite() {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        installed = run("cmake", {"--install", CORVANTA_BINARY_DIR, "--prefix", sandbox.root(),
                                  "--component", "Unspecified"});
        QDBusConnection::sessionBus().interface()->call(QStringLiteral("ReloadConfig"));
    }

    void SetUp() override {
        ASSERT_TRUE(installed);
        Route markdown = route("markdown", "Markdown", "md");
        QDir().mkpath(QFileInfo(routesFile()).absolutePath());
        writeRoutes(routesFile(), {markdown});
        // No onboarding on top of the window.
        QFile conf(LinuxSandbox::current().configHome() +
                   QStringLiteral("/Corvanta/Corvanta.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly) &&
                    conf.write("[General]\nhasCompletedMenuBarOnboarding=true\n") > 0);
        conf.close();
        instance.setProcessChannelMode(QProcess::ForwardedChannels);
        instance.start(LinuxSandbox::current().root() + QStringLiteral("/bin/corvanta"), {});
        ASSERT_TRUE(waitUntil([] { return LinuxSandbox::corvantaInstancePid().has_value(); }));
    }

    void TearDown() override {
        LinuxSandbox::stopCorvantaInstance();
        if (!instance.waitForFinished(5000))
            instance.kill();
    }

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

    run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "ctrl+w"});
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
