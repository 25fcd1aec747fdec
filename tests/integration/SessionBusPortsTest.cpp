#include "core/platform/Preferences.h"
#include "core/routing/BeepNotifier.h"
#include "core/selection/FileSelectionResolver.h"
#include "platform/linux/AtspiAccessibilitySelection.h"
#include "platform/linux/AtspiScreenReader.h"
#include "platform/linux/FreedesktopNotifications.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/BusPeer.h"
#include "tests/integration/FakeAccessibility.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/FakeSelectionPorts.h"
#include "tests/support/FakeServices.h"

#include <QDBusConnection>
#include <QScopeGuard>
#include <gtest/gtest.h>

namespace {
TEST(AtspiScreenReader, FollowsTheLauncherAndIsOffWithoutOne) {
    EXPECT_FALSE(AtspiScreenReader().isScreenReaderEnabled()); // no launcher on this bus
    for (const bool enabled : {true, false}) {
        AccessibilityRegistry launcher({}, enabled);
        ASSERT_TRUE(launcher.connected() && launcher.own("org.a11y.Bus"));
        EXPECT_EQ(AtspiScreenReader().isScreenReaderEnabled(), enabled);
    }
    // A launcher that does not answer in time counts as no screen reader.
    AccessibilityRegistry stuck({}, true);
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
    EXPECT_TRUE(SandboxHelpers::waitUntil(
        [&] { return !running.runningBundleIDs().contains("test.BusApp"); }, 5000));
}

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
    ASSERT_TRUE(writeFile(path, {}));
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

// A notification daemon on the sandbox's bus: keeps "summary: body" of each bubble.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    FakeNotificationService() {
        QDBusConnection::sessionBus().registerObject("/org/freedesktop/Notifications", this,
                                                     QDBusConnection::ExportAllSlots);
        QDBusConnection::sessionBus().registerService("org.freedesktop.Notifications");
    }
    QStringList shown;
public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown << summary + ": " + body;
        return 7;
    }
};
} // namespace

TEST(FreedesktopNotifications, ABeepSaysWhyOncePerReasonUnlessSwitchedOffOrWithoutAService) {
    FakeAlerts alerts;
    FakePreferences preferences;
    qint64 now = 0;
    BeepNotifier beeper(alerts, preferences, [&now] { return now; });
    FreedesktopNotifications notifications;
    beeper.setNotifications(&notifications);
    const QString thunar = BeepNotifier::nothingSelectedReason(QStringLiteral("thunar"));
    const QString other =
        BeepNotifier::nothingSelectedReason(QStringLiteral("org.gnome.Calculator"));
    beeper.beep(thunar); // no service yet: only the beep
    FakeNotificationService service;
    for (const auto& [at, reason] :
         {std::pair{1000, thunar}, {2000, thunar}, {2000, other}, {5999, thunar}, {6000, thunar}}) {
        now = at;
        beeper.beep(reason);
    }
    preferences.setBoolean(PreferenceKeys::notifiesWhenBeeping, false);
    now = 20000;
    beeper.beep(other);
    preferences.setBoolean(PreferenceKeys::notifiesWhenBeeping, true);
    beeper.beep(thunar);
    SandboxHelpers::waitUntil([&] { return service.shown.size() >= 4; }, 10000);
    EXPECT_EQ(service.shown, (QStringList{"Corvanta: No files are selected in Thunar.",
                                          "Corvanta: The window in front is not a file manager.",
                                          "Corvanta: No files are selected in Thunar.",
                                          "Corvanta: No files are selected in Thunar."}));
    EXPECT_EQ(alerts.beeps, 8);
}

#include "SessionBusPortsTest.moc"
