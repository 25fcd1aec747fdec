#include "core/selection/FileSelectionResolver.h"
#include "platform/linux/AtspiAccessibilitySelection.h"
#include "platform/linux/AtspiScreenReader.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/BusPeer.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/FakeSelectionPorts.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QScopeGuard>
#include <QThread>
#include <gtest/gtest.h>

namespace {
const char statusXml[] = "<node><interface name='org.a11y.Status'>"
                         "<property name='ScreenReaderEnabled' type='b' access='read'/>"
                         "</interface></node>";

// Publishes the accessibility status, as the accessibility bus launcher does.
class StatusPeer : public BusPeer {
public:
    explicit StatusPeer(bool screenReaderEnabled)
        : m_screenReaderEnabled(screenReaderEnabled) {
        exportObject("/org/a11y/bus", statusXml);
        start();
    }
    ~StatusPeer() override { stopAnswering(); }

private:
    GVariant* property(const QByteArray&, const QByteArray&, const QByteArray&) override {
        return g_variant_new_boolean(m_screenReaderEnabled);
    }

    bool m_screenReaderEnabled;
};

TEST(AtspiScreenReader, FollowsTheLauncherAndIsOffWithoutOne) {
    EXPECT_FALSE(AtspiScreenReader().isScreenReaderEnabled()); // no launcher on this bus
    for (const bool enabled : {true, false}) {
        StatusPeer launcher(enabled);
        ASSERT_TRUE(launcher.connected() && launcher.own("org.a11y.Bus"));
        EXPECT_EQ(AtspiScreenReader().isScreenReaderEnabled(), enabled);
    }
    // A launcher that does not answer in time counts as no screen reader.
    StatusPeer stuck(true);
    ASSERT_TRUE(stuck.own("org.a11y.Bus"));
    stuck.stopAnswering();
    EXPECT_FALSE(AtspiScreenReader(200).isScreenReaderEnabled());
}

// Applications that own their desktop ID on the bus (GApplication, D-Bus
// activatable entries) run even when no process shows their entry's program.
TEST(ProcRunningApplications, SeesInstalledApplicationsByTheirBusNames) {
    const ProcRunningApplications running;
    ASSERT_FALSE(running.runningBundleIDs().contains("test.BusApp"));
    {
        BusPeer app;
        ASSERT_TRUE(app.own("test.BusApp") && app.own("org.example.NotAnEntry"));
        const QSet<QString> ids = running.runningBundleIDs();
        EXPECT_TRUE(ids.contains("test.BusApp"));
        EXPECT_FALSE(ids.contains("org.example.NotAnEntry"));
    }
    // The bus drops the name once it has seen the connection close.
    QDeadlineTimer deadline(5000);
    while (running.runningBundleIDs().contains("test.BusApp") && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_FALSE(running.runningBundleIDs().contains("test.BusApp"));
}

const char accessibleXml[] =
    "<node><interface name='org.a11y.atspi.Accessible'>"
    "<method name='GetChildren'><arg type='a(so)' direction='out'/></method>"
    "<method name='GetState'><arg type='au' direction='out'/></method>"
    "<method name='GetInterfaces'><arg type='as' direction='out'/></method>"
    "<method name='GetAttributes'><arg type='a{ss}' direction='out'/></method>"
    "</interface></node>";
const char selectionXml[] = "<node><interface name='org.a11y.atspi.Selection'>"
                            "<method name='GetSelectedChild'><arg type='i' direction='in'/>"
                            "<arg type='(so)' direction='out'/></method>"
                            "<property name='NSelectedChildren' type='i' access='read'/>"
                            "</interface></node>";
const char rootPath[] = "/org/a11y/atspi/accessible/root";

// An application in the accessibility tree as GTK shows one: its window in the
// active state holds a focused list with one selected item that names its file.
class AccessibleApplication : public BusPeer {
public:
    AccessibleApplication(QByteArray url, bool windowActive)
        : m_url(std::move(url))
        , m_windowActive(windowActive) {
        for (const char* path : {rootPath, "/window", "/list", "/item"})
            exportObject(path, accessibleXml);
        exportObject("/list", selectionXml);
        start();
    }
    ~AccessibleApplication() override { stopAnswering(); }
    QByteArray name() const { return g_dbus_connection_get_unique_name(connection()); }

private:
    void call(const QByteArray& path, const QByteArray&, const QByteArray& method, GVariant*,
              GDBusMethodInvocation* invocation) override {
        const QByteArray self = name();
        GVariant* reply = nullptr;
        if (method == "GetChildren") {
            const char* child = path == rootPath    ? "/window"
                                : path == "/window" ? "/list"
                                                    : nullptr;
            GVariantBuilder children;
            g_variant_builder_init(&children, G_VARIANT_TYPE("a(so)"));
            if (child)
                g_variant_builder_add(&children, "(so)", self.constData(), child);
            reply = g_variant_new("(a(so))", &children);
        } else if (method == "GetState") {
            const guint32 word = path == "/window" && m_windowActive ? 1u << 1
                                 : path == "/list"                   ? 1u << 12
                                                                     : 0u;
            const guint32 words[] = {word, 0};
            reply = g_variant_new("(@au)", g_variant_new_fixed_array(G_VARIANT_TYPE_UINT32, words,
                                                                     2, sizeof(guint32)));
        } else if (method == "GetInterfaces") {
            const char* names[] = {"org.a11y.atspi.Accessible", "org.a11y.atspi.Selection"};
            reply = g_variant_new("(@as)", g_variant_new_strv(names, path == "/list" ? 2 : 1));
        } else if (method == "GetAttributes") {
            GVariantBuilder attributes;
            g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
            if (path == "/item")
                g_variant_builder_add(&attributes, "{ss}", "url", m_url.constData());
            reply = g_variant_new("(a{ss})", &attributes);
        } else if (method == "GetSelectedChild") {
            reply = g_variant_new("((so))", self.constData(), "/item");
        }
        g_dbus_method_invocation_return_value(invocation, reply);
    }
    GVariant* property(const QByteArray&, const QByteArray&, const QByteArray&) override {
        return g_variant_new_int32(1);
    }

    const QByteArray m_url;
    const bool m_windowActive;
};

// The accessibility bus launcher and the registry, on the sandbox's own bus.
class AccessibilityRegistry : public BusPeer {
public:
    explicit AccessibilityRegistry(QList<QByteArray> applications)
        : m_applications(std::move(applications)) {
        exportObject("/org/a11y/bus", "<node><interface name='org.a11y.Bus'>"
                                      "<method name='GetAddress'>"
                                      "<arg type='s' direction='out'/></method>"
                                      "</interface></node>");
        exportObject(rootPath, accessibleXml);
        start();
    }
    ~AccessibilityRegistry() override { stopAnswering(); }

private:
    void call(const QByteArray&, const QByteArray&, const QByteArray& method, GVariant*,
              GDBusMethodInvocation* invocation) override {
        if (method == "GetAddress") {
            const QByteArray address = LinuxSandbox::current().busAddress().toUtf8();
            g_dbus_method_invocation_return_value(invocation,
                                                  g_variant_new("(s)", address.constData()));
            return;
        }
        GVariantBuilder children;
        g_variant_builder_init(&children, G_VARIANT_TYPE("a(so)"));
        for (const QByteArray& application : m_applications)
            g_variant_builder_add(&children, "(so)", application.constData(), rootPath);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(a(so))", &children));
    }

    const QList<QByteArray> m_applications;
};

// Where no X server may be asked (Wayland), the hotkey's selection comes from the
// application whose window the tree shows as active, and no file manager is sent
// keys; with no such window nothing is found (the caller beeps).
TEST(AtspiAccessibilitySelection, WithoutX11TheTreeNamesTheFrontmostApplication) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const auto restore = qScopeGuard([&] {
        if (!display.isEmpty())
            qputenv("DISPLAY", display);
    });
    const QString path = LinuxSandbox::current().filesFolder() + QStringLiteral("/chosen.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QUrl url = QUrl::fromLocalFile(path);

    FakeFrontmostApplication frontmost; // X11 names none
    FakeFileManagerSelection fileManager;
    fileManager.selections.insert(QStringLiteral("Thunar"), {url});
    for (const bool active : {true, false}) {
        SCOPED_TRACE(active ? "active window" : "no active window");
        AccessibleApplication inactive(QUrl::fromLocalFile("/etc/hostname").toEncoded(), false);
        AccessibleApplication application(url.toEncoded(), active);
        AccessibilityRegistry registry({inactive.name(), application.name()});
        ASSERT_TRUE(registry.own("org.a11y.Bus") && registry.own("org.a11y.atspi.Registry"));
        const AtspiAccessibilitySelection selection(frontmost, 2000);
        EXPECT_EQ(selection.isTrusted(), active);
        const FileSelectionResolver resolver =
            FileSelectionResolver::make({frontmost, selection, fileManager}, true, false);
        FileSelectionResolver::Answer answer;
        EXPECT_EQ(resolver.selectedFileURLs(&answer), active ? QList<QUrl>{url} : QList<QUrl>());
        EXPECT_EQ(answer, active ? FileSelectionResolver::Answer::accessibility
                                 : FileSelectionResolver::Answer::none);
    }
    EXPECT_TRUE(fileManager.asked.isEmpty());
}

} // namespace
