#include "platform/linux/AtspiScreenReader.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDeadlineTimer>
#include <QThread>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <thread>

namespace {
const char statusXml[] = "<node><interface name='org.a11y.Status'>"
                         "<property name='ScreenReaderEnabled' type='b' access='read'/>"
                         "</interface></node>";

// Another client of the private bus that owns names and publishes the
// accessibility status, answering from its own thread while the port under
// test blocks on its call.
class BusPeer {
public:
    explicit BusPeer(bool screenReaderEnabled)
        : m_screenReaderEnabled(screenReaderEnabled)
        , m_context(g_main_context_new())
        , m_loop(g_main_loop_new(m_context, FALSE)) {
        g_main_context_push_thread_default(m_context);
        const QByteArray address = LinuxSandbox::current().busAddress().toUtf8();
        m_bus = g_dbus_connection_new_for_address_sync(
            address.constData(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        if (m_bus) {
            m_info = g_dbus_node_info_new_for_xml(statusXml, nullptr);
            static const GDBusInterfaceVTable vtable = {nullptr, &BusPeer::property, nullptr, {}};
            g_dbus_connection_register_object(m_bus, "/org/a11y/bus", m_info->interfaces[0],
                                              &vtable, this, nullptr, nullptr);
        }
        g_main_context_pop_thread_default(m_context);
        m_thread = std::thread([this] {
            g_main_context_push_thread_default(m_context);
            g_main_loop_run(m_loop);
            g_main_context_pop_thread_default(m_context);
        });
    }
    ~BusPeer() {
        stopAnswering();
        if (m_bus) {
            g_dbus_connection_close_sync(m_bus, nullptr, nullptr);
            g_object_unref(m_bus);
            g_dbus_node_info_unref(m_info);
        }
        g_main_loop_unref(m_loop);
        g_main_context_unref(m_context);
    }
    void stopAnswering() {
        if (!m_thread.joinable())
            return;
        // Quit from inside the loop: a quit before the thread reaches it is lost.
        GSource* quit = g_idle_source_new();
        g_source_set_callback(
            quit,
            [](gpointer loop) {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            m_loop, nullptr);
        g_source_attach(quit, m_context);
        g_source_unref(quit);
        m_thread.join();
    }
    bool connected() const { return m_bus != nullptr; }

    bool own(const char* name) {
        GVariant* reply = g_dbus_connection_call_sync(
            m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", name, 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
        if (!reply)
            return false;
        guint32 result = 0;
        g_variant_get(reply, "(u)", &result);
        g_variant_unref(reply);
        return result == 1; // primary owner
    }

private:
    static GVariant* property(GDBusConnection*, const char*, const char*, const char*, const char*,
                              GError**, gpointer self) {
        return g_variant_new_boolean(static_cast<BusPeer*>(self)->m_screenReaderEnabled);
    }

    bool m_screenReaderEnabled;
    GMainContext* m_context;
    GMainLoop* m_loop;
    GDBusConnection* m_bus = nullptr;
    GDBusNodeInfo* m_info = nullptr;
    std::thread m_thread;
};

TEST(AtspiScreenReader, FollowsTheLauncherAndIsOffWithoutOne) {
    EXPECT_FALSE(AtspiScreenReader().isScreenReaderEnabled()); // no launcher on this bus
    for (const bool enabled : {true, false}) {
        BusPeer launcher(enabled);
        ASSERT_TRUE(launcher.connected() && launcher.own("org.a11y.Bus"));
        EXPECT_EQ(AtspiScreenReader().isScreenReaderEnabled(), enabled);
    }
    // A launcher that does not answer in time counts as no screen reader.
    BusPeer stuck(true);
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
        BusPeer app(false);
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

} // namespace
