// The Linux implementations of the pickers' ports, run for real inside the
// sandboxed home of the Linux tests (private session bus, own XDG folders).
#include "platform/linux/DesktopTerminalLauncher.h"
#include "platform/linux/FileManagerRevealer.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Stands in for a file manager on the private session bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown.append(uris); }
};

TEST(FileManagerRevealerTest, ShowItemsOrElseEachParentFolderOnceInTheFolderHandler) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    ASSERT_TRUE(writeFile(sandbox.applicationsFolder() + "/test.Files.desktop",
                          "[Desktop Entry]\nType=Application\nName=Test Files\n"
                          "Exec=recorder-editor %U\nMimeType=inode/directory;\n"));
    ASSERT_TRUE(writeFile(sandbox.configHome() + "/mimeapps.list",
                          "[Default Applications]\ninode/directory=test.Files.desktop\n"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeFileManager manager;
    ASSERT_TRUE(bus.registerObject("/org/freedesktop/FileManager1", &manager,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService("org.example.TestFiles"));
    const QList<QUrl> files{QUrl::fromLocalFile("/tmp/x/one b.md"),
                            QUrl::fromLocalFile("/tmp/y/two.md"),
                            QUrl::fromLocalFile("/tmp/x/three.md")};

    const std::pair<const char*, bool> services[] = {{"org.example.TestFiles", true},
                                                     {"org.example.NoFileManagerHere", false}};
    for (const auto& [service, shown] : services) {
        SCOPED_TRACE(service);
        FileManagerRevealer revealer;
        revealer.setServiceName(service);
        QSignalSpy revealed(&revealer, &FileManagerRevealer::revealed);
        revealer.reveal(files);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !revealed.isEmpty(); }));
        EXPECT_EQ(revealed.first().first().toBool(), shown);
    }
    EXPECT_EQ(manager.shown,
              (QList<QStringList>{
                  {"file:///tmp/x/one%20b.md", "file:///tmp/y/two.md", "file:///tmp/x/three.md"}}));
    // The fallback: one run of the folder handler with both folders.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sandbox.records().isEmpty(); }));
    QStringList received;
    const QList<QList<QByteArray>> records = sandbox.records();
    for (const QByteArray& arg : records.first())
        received.append(QUrl::fromUserInput(QString::fromUtf8(arg)).toLocalFile());
    EXPECT_EQ(received, (QStringList{"/tmp/x", "/tmp/y"}));
    EXPECT_EQ(records.size(), 1);
}

TEST(DesktopTerminalLauncherTest, StartsOnceInEachFolderEvenForBusActivatableEntries) {
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath(), out = base + "/cwd.txt";
    ASSERT_TRUE(
        writeFile(base + "/term.desktop", "[Desktop Entry]\nType=Application\nName=Test Terminal\n"
                                          "DBusActivatable=true\nExec=/bin/sh -c \"pwd >> " +
                                              QFile::encodeName(out) + "\"\n"));
    const QStringList folders{base + "/plain", base + "/with space ü"};
    for (const QString& folder : folders)
        QDir().mkpath(folder);
    const auto started = [&] {
        QStringList lines = QString::fromLocal8Bit(readFile(out)).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    };
    DesktopTerminalLauncher launcher;
    QList<std::optional<QString>> results;
    const auto record = [&](const std::optional<QString>& error) { results.append(error); };
    launcher.launchInFolders(base + "/term.desktop", folders, record);
    EXPECT_TRUE(results.isEmpty()); // completes later, from the event loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return started().size() == 2 && !results.isEmpty(); }));
    EXPECT_EQ(started(), folders);
    EXPECT_EQ(results, (QList<std::optional<QString>>{std::nullopt}));

    // The first failure is reported, once.
    launcher.launchInFolders(base + "/term.desktop", {base + "/nope", folders[0]}, record);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() > 1; }));
    QTest::qWait(50);
    ASSERT_EQ(results.size(), 2);
    EXPECT_TRUE(results[1].value_or("").contains("nope")) << qPrintable(results[1].value_or(""));
}
} // namespace

#include "PickerPlatformTest.moc"
