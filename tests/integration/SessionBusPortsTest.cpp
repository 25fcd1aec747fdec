#include "platform/linux/AtspiScreenReader.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/BusPeer.h"

#include <QDeadlineTimer>
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

} // namespace
