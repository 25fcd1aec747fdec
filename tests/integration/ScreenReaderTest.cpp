#include "platform/linux/AtspiScreenReader.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QObject>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// Stands in for at-spi-bus-launcher: publishes org.a11y.Status on /org/a11y/bus.
class FakeAccessibilityStatus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)
    Q_PROPERTY(bool IsEnabled READ screenReaderEnabled)

public:
    explicit FakeAccessibilityStatus(bool enabled)
        : m_enabled(enabled) {}
    bool screenReaderEnabled() const { return m_enabled; }

private:
    bool m_enabled;
};

// The service answers from its own thread, as a separate process would, so
// that the blocking call of the port can be answered.
class FakeLauncher {
public:
    explicit FakeLauncher(bool enabled) {
        auto* status = new FakeAccessibilityStatus(enabled);
        status->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, status, &QObject::deleteLater);
        m_thread.start();
        m_bus = QDBusConnection::connectToBus(LinuxSandbox::current().busAddress(),
                                              QStringLiteral("fake-a11y"));
        m_bus.registerObject(QStringLiteral("/org/a11y/bus"), status,
                             QDBusConnection::ExportAllProperties);
        registered = m_bus.registerService(QStringLiteral("org.a11y.Bus"));
    }
    ~FakeLauncher() {
        m_bus.unregisterService(QStringLiteral("org.a11y.Bus"));
        m_bus.unregisterObject(QStringLiteral("/org/a11y/bus"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-a11y"));
        m_thread.quit();
        m_thread.wait();
    }
    bool registered = false;

private:
    QThread m_thread;
    QDBusConnection m_bus{QString()};
};

TEST(AtspiScreenReader, FalseWhenNoAccessibilityBusRuns) {
    EXPECT_FALSE(AtspiScreenReader().isScreenReaderEnabled());
}

TEST(AtspiScreenReader, ReportsTheLaunchersProperty) {
    for (const bool enabled : {true, false}) {
        FakeLauncher launcher(enabled);
        ASSERT_TRUE(launcher.registered);
        EXPECT_EQ(AtspiScreenReader().isScreenReaderEnabled(), enabled);
    }
}

TEST(AtspiScreenReader, FalseWithoutASessionBus) {
    const AtspiScreenReader reader(QDBusConnection(QStringLiteral("never-connected")));
    EXPECT_FALSE(reader.isScreenReaderEnabled());
}
} // namespace

#include "ScreenReaderTest.moc"
