// The tray instance under a real Wayland compositor (weston, headless): files
// reach it through D-Bus Open, its rule hotkey goes through the shortcuts
// portal, the hotkey's selection comes from the accessibility tree, and no X
// server is ever contacted although $DISPLAY names one.
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/FakeAccessibility.h"
#include "tests/integration/FakePortal.h"
#include "tests/integration/LinuxSandbox.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QUrl>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
using SandboxHelpers::records;
using SandboxHelpers::sample;
using SandboxHelpers::waitUntil;

// Stands in for the X server of display :180 (its socket file; X clients try
// that after the abstract name) and counts who knocks.
constexpr char fakeDisplay[] = ":180";
class FakeXServer {
public:
    static constexpr char path[] = "/tmp/.X11-unix/X180";
    ~FakeXServer() {
        if (m_fd >= 0) {
            ::close(m_fd);
            ::unlink(path);
        }
    }
    // False when another server answers there, or the socket cannot be made.
    bool listen() {
        QDir().mkpath(QStringLiteral("/tmp/.X11-unix"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path);
        const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool live =
            ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (live)
            return false;
        ::unlink(path);
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        return m_fd >= 0 &&
               ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(m_fd, 16) == 0;
    }
    int knocks() {
        for (int client; (client = ::accept(m_fd, nullptr, nullptr)) >= 0;) {
            ::close(client);
            ++m_knocks;
        }
        return m_knocks;
    }

private:
    int m_fd = -1;
    int m_knocks = 0;
};

class WaylandEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        ASSERT_EQ(EndToEnd::installCorvanta(), QString());

        ASSERT_TRUE(x11.listen()) << "display :180 is in use";

        runtime = sandbox.root() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        socket = QStringLiteral("corvanta-wayland-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime);
        environment.remove("DISPLAY");
        compositor.setProcessEnvironment(environment);
        compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        compositor.setStandardOutputFile(QProcess::nullDevice());
        compositor.start("weston", {"--backend=headless-backend.so", "--socket=" + socket,
                                    "--idle-time=0", "--no-config"});
        ASSERT_TRUE(compositor.waitForStarted());
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(runtime + '/' + socket); }));
    }

    void TearDown() override {
        EndToEnd::stopInstance(instance);
        compositor.terminate();
        if (!compositor.waitForFinished(5000))
            compositor.kill();
    }

    void startInstance() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime);
        environment.insert("WAYLAND_DISPLAY", socket);
        environment.insert("QT_QPA_PLATFORM", "wayland");
        environment.insert("XDG_SESSION_TYPE", "wayland");
        environment.insert("DISPLAY", fakeDisplay);
        ASSERT_TRUE(EndToEnd::startInstance(instance, environment));
    }

    FakeXServer x11;
    QString runtime;
    QString socket;
    QProcess compositor;
    QProcess instance;
};

TEST_F(WaylandEndToEnd, OpensFilesAndRunsTheRuleHotkeyWithoutX11) {
    // Markdown opens in the Markdown editor; the rule's hotkey sends it to the
    // Rule Editor.
    Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                             {"test.MarkdownEditor", "test.RuleEditor"});
    Rule rule = EndToEnd::hotkeyRule(QStringLiteral("test.RuleEditor"));
    rule.name = QStringLiteral("Review");
    markdown.rules = {rule};
    EndToEnd::writeSettings({markdown}, {{rule.hotkeyName(), "Ctrl+Alt+K"}});
    QFile::remove(LinuxSandbox::current().recordFile());

    FakePortal portal;
    ASSERT_TRUE(portal.own(PortalShortcutRegistry::service));
    startInstance();
    // The instance picked the portal and bound the rule's hotkey there, listed
    // under the route and the rule's name.
    ASSERT_TRUE(waitUntil([&] { return !portal.binds().isEmpty(); }));
    EXPECT_EQ(portal.binds().last(),
              (QList<Bound>{{rule.hotkeyName(), "CTRL+ALT+k", "Markdown: Review"}}));

    const QByteArray opened = sample("opened.md");
    QDBusMessage open = QDBusMessage::createMethodCall(
        "io.corvanta.Corvanta", "/io/corvanta/Corvanta", "org.freedesktop.Application", "Open");
    open << QStringList{QUrl::fromLocalFile(QFile::decodeName(opened)).toString()} << QVariantMap();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(open, QDBus::Block, 10000);
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << qPrintable(reply.errorMessage());
    EXPECT_EQ(records(1), (QList<QList<QByteArray>>{{opened}}));

    // The desktop reports the hotkey; the selection is the active window's.
    const QByteArray selected = sample("selected.md");
    AccessibleApplication application(QUrl::fromLocalFile(QFile::decodeName(selected)).toEncoded(),
                                      true);
    AccessibilityRegistry registry({application.name()});
    ASSERT_TRUE(registry.own("org.a11y.Bus") && registry.own("org.a11y.atspi.Registry"));
    portal.press(rule.hotkeyName().toUtf8().constData());
    EXPECT_EQ(records(2), (QList<QList<QByteArray>>{{opened}, {"--rule", selected}}));
    EXPECT_EQ(x11.knocks(), 0) << "an X server was contacted";
}

} // namespace
