#include "platform/linux/GioWorkspace.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (condition())
            return true;
        QThread::msleep(20);
    }
    return condition();
}

TEST(ProcRunningApplications, SeesProgramsStartedFromTheirEntriesUntilTheyExit) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const ProcRunningApplications running;
    const QString editor = QStringLiteral("test.MarkdownEditor");
    const QString viewer = QStringLiteral("test.TextViewer");
    const QString script = QStringLiteral("test.Script");
    ASSERT_FALSE(running.runningBundleIDs().contains(editor));

    const QString stopFile = sandbox.root() + QStringLiteral("/stop-running");
    qputenv("CORVANTA_RECORDER_STAY", QFile::encodeName(stopFile));
    GioWorkspace workspace;
    for (const char* entry :
         {"test.MarkdownEditor.desktop", "test.TextViewer.desktop", "test.Script.desktop"}) {
        std::optional<QString> failure = QStringLiteral("not completed");
        workspace.openURLs({QUrl::fromLocalFile(sandbox.filesFolder() + QStringLiteral("/a.md"))},
                           sandbox.applicationsFolder() + QLatin1Char('/') + QLatin1String(entry),
                           [&](const std::optional<QString>& error) { failure = error; });
        EXPECT_EQ(failure, std::nullopt) << entry;
    }
    qunsetenv("CORVANTA_RECORDER_STAY");

    EXPECT_TRUE(waitUntil([&] {
        const QSet<QString> ids = running.runningBundleIDs();
        return ids.contains(editor) && ids.contains(viewer) && ids.contains(script);
    })) << "running: "
        << qPrintable(running.runningBundleIDs().values().join(QLatin1Char(' ')));
    // Another entry whose program is not running stays out.
    EXPECT_FALSE(running.runningBundleIDs().contains(QStringLiteral("kde-notes")));

    QFile stop(stopFile);
    ASSERT_TRUE(stop.open(QIODevice::WriteOnly));
    stop.close();
    EXPECT_TRUE(waitUntil([&] {
        const QSet<QString> ids = running.runningBundleIDs();
        return !ids.contains(editor) && !ids.contains(viewer) && !ids.contains(script);
    }));
}

TEST(ProcRunningApplications, ApplicationNamesOnTheSessionBusCountWhenInstalled) {
    const ProcRunningApplications running;
    QDBusConnection other = QDBusConnection::connectToBus(LinuxSandbox::current().busAddress(),
                                                          QStringLiteral("running-apps-test"));
    ASSERT_TRUE(other.isConnected());
    ASSERT_TRUE(other.registerService(QStringLiteral("test.BusApp")));
    ASSERT_TRUE(other.registerService(QStringLiteral("org.example.NotInstalled")));

    const QSet<QString> ids = running.runningBundleIDs();
    EXPECT_TRUE(ids.contains(QStringLiteral("test.BusApp")));
    EXPECT_FALSE(ids.contains(QStringLiteral("org.example.NotInstalled")));

    other.unregisterService(QStringLiteral("test.BusApp"));
    QDBusConnection::disconnectFromBus(QStringLiteral("running-apps-test"));
    EXPECT_TRUE(waitUntil(
        [&] { return !running.runningBundleIDs().contains(QStringLiteral("test.BusApp")); }));
}

TEST(ProcRunningApplications, AFolderWithoutProcessesGivesOnlyBusApplications) {
    const ProcRunningApplications running(LinuxSandbox::current().filesFolder());
    const QSet<QString> ids = running.runningBundleIDs();
    EXPECT_FALSE(ids.contains(QStringLiteral("test.MarkdownEditor")));
}
} // namespace
