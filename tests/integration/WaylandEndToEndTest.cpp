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
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
using SandboxHelpers::records;
using SandboxHelpers::sample;
using SandboxHelpers::waitUntil;

// Display :180 points at the socket file of a stand-in X server (X clients try
// that after the abstract name), where any connection is a knock.
constexpr char fakeDisplay[] = ":180";
const QString fakeDisplaySocket = QStringLiteral("/tmp/.X11-unix/X180");

TEST(WaylandEndToEnd, OpensFilesAndRunsTheRuleHotkeyWithoutX11) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    ASSERT_EQ(EndToEnd::installCorvanta(), QString());
    QDir().mkpath(QStringLiteral("/tmp/.X11-unix"));
    QLocalSocket probe;
    probe.connectToServer(fakeDisplaySocket);
    ASSERT_FALSE(probe.waitForConnected(1000)) << "display :180 is in use";
    QLocalServer::removeServer(fakeDisplaySocket);
    QLocalServer x11;
    ASSERT_TRUE(x11.listen(fakeDisplaySocket));

    const QString runtime = sandbox.root() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socket =
        QStringLiteral("corvanta-wayland-%1").arg(QCoreApplication::applicationPid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.remove("DISPLAY");
    QProcess compositor;
    compositor.setProcessEnvironment(environment);
    compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    compositor.setStandardOutputFile(QProcess::nullDevice());
    compositor.start("weston", {"--backend=headless-backend.so", "--socket=" + socket,
                                "--idle-time=0", "--no-config"});
    ASSERT_TRUE(compositor.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(runtime + '/' + socket); }));

    // Markdown opens in the Markdown editor; the rule's hotkey sends it to the
    // Rule Editor.
    Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                             {"test.MarkdownEditor", "test.RuleEditor"});
    Rule rule = EndToEnd::hotkeyRule(QStringLiteral("test.RuleEditor"));
    rule.name = QStringLiteral("Review");
    markdown.rules = {rule};
    EndToEnd::writeSettings({markdown}, {rule.hotkeyName(), "Ctrl+Alt+K"});
    QFile::remove(sandbox.recordFile());

    FakePortal portal;
    ASSERT_TRUE(portal.own(PortalShortcutRegistry::service));
    environment.insert("WAYLAND_DISPLAY", socket);
    environment.insert("QT_QPA_PLATFORM", "wayland");
    environment.insert("XDG_SESSION_TYPE", "wayland");
    environment.insert("DISPLAY", fakeDisplay);
    QProcess instance;
    const auto stop = qScopeGuard([&] {
        EndToEnd::stopInstance(instance);
        compositor.terminate();
        compositor.waitForFinished(5000);
    });
    ASSERT_TRUE(EndToEnd::startInstance(instance, environment));
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
    EXPECT_FALSE(x11.hasPendingConnections() || x11.waitForNewConnection(0))
        << "an X server was contacted";
}

} // namespace
