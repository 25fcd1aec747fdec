// The Linux implementations of the pickers' ports, run for real inside the
// sandboxed home of the Linux tests (private session bus, own XDG folders).
#include "platform/linux/DesktopTerminalLauncher.h"
#include "platform/linux/FileManagerRevealer.h"
#include "platform/linux/QtClipboard.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(contents) == contents.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder handler that records the folders it is asked to open; set up before
// any test touches GIO.
class FolderHandlerEnvironment : public testing::Environment {
public:
    void SetUp() override {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        if (sandbox.root().isEmpty())
            return;
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Test Files\nExec=" +
                                 QFile::encodeName(QStringLiteral(CORVANTA_RECORDER_PATH)) +
                                 " %U\nMimeType=inode/directory;\n";
        ASSERT_TRUE(writeFile(sandbox.applicationsFolder() + "/test.Files.desktop", entry));
        ASSERT_TRUE(writeFile(sandbox.configHome() + "/mimeapps.list",
                              "[Default Applications]\ninode/directory=test.Files.desktop\n"));
        QProcess::execute(QStringLiteral("update-desktop-database"),
                          {sandbox.applicationsFolder()});
    }
};
const auto* const folderHandler = testing::AddGlobalTestEnvironment(new FolderHandlerEnvironment);

template <typename Predicate> bool waitFor(Predicate done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

class TerminalLauncherTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString out() const { return dir.filePath(QStringLiteral("cwd.txt")); }

    // A terminal stand-in that writes the folder it started in.
    QString writeTerminal(const QByteArray& exec, bool dbusActivatable = true) {
        const QString path = dir.filePath(QStringLiteral("term.desktop"));
        QByteArray entry =
            "[Desktop Entry]\nType=Application\nName=Test Terminal\nExec=" + exec + "\n";
        if (dbusActivatable)
            entry += "DBusActivatable=true\n";
        EXPECT_TRUE(writeFile(path, entry));
        return path;
    }
    QString makeFolder(const QString& name) {
        const QString path = dir.filePath(name);
        QDir().mkpath(path);
        return path;
    }
};

TEST_F(TerminalLauncherTest, StartsOnceInEachFolderEvenForBusActivatableEntries) {
    const QString terminal =
        writeTerminal("/bin/sh -c \"pwd >> " + QFile::encodeName(out()) + "\"");
    const QString plain = makeFolder(QStringLiteral("plain"));
    const QString spaced = makeFolder(QStringLiteral("with space ü"));
    DesktopTerminalLauncher launcher;
    int calls = 0;
    std::optional<QString> error = QStringLiteral("not called");
    launcher.launchInFolders(terminal, {plain, spaced}, [&](const std::optional<QString>& e) {
        ++calls;
        error = e;
    });
    // The completion comes after the call, from the event loop.
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(waitFor([&] { return readFile(out()).count('\n') >= 2; }));
    waitFor([&] { return calls > 0; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(error, std::nullopt);
    QStringList folders = QString::fromLocal8Bit(readFile(out())).split('\n', Qt::SkipEmptyParts);
    folders.sort();
    QStringList expected{QDir(plain).canonicalPath(), QDir(spaced).canonicalPath()};
    expected.sort();
    EXPECT_EQ(folders, expected);
}

TEST_F(TerminalLauncherTest, ReportsTheFirstFailure) {
    struct Case {
        const char* name;
        QString location;
        QStringList folders;
        const char* errorContains;
    };
    const QString missingProgram = writeTerminal("/nonexistent/terminal --window", false);
    const QString working = dir.filePath(QStringLiteral("true.desktop"));
    ASSERT_TRUE(writeFile(working, "[Desktop Entry]\nType=Application\nName=T\nExec=true\n"));
    const QString folder = makeFolder(QStringLiteral("here"));
    const Case cases[] = {
        {"program missing", missingProgram, {folder}, "/nonexistent/terminal"},
        {"entry missing", dir.filePath(QStringLiteral("gone.desktop")), {folder}, ""},
        {"first folder missing", working, {dir.filePath(QStringLiteral("nope")), folder}, "nope"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesktopTerminalLauncher launcher;
        int calls = 0;
        std::optional<QString> error;
        launcher.launchInFolders(c.location, c.folders, [&](const std::optional<QString>& e) {
            ++calls;
            error = e;
        });
        ASSERT_TRUE(waitFor([&] { return calls > 0; }));
        ASSERT_TRUE(error.has_value());
        EXPECT_FALSE(error->isEmpty());
        EXPECT_TRUE(error->contains(QLatin1String(c.errorContains))) << qPrintable(*error);
        QCoreApplication::processEvents();
        EXPECT_EQ(calls, 1);
    }
}

// Stands in for a file manager on the private session bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        Q_UNUSED(startupId);
        shown.append(uris);
    }
};

TEST(FileManagerRevealerTest, AsksTheFileManagerToShowTheFiles) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    FakeFileManager manager;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.example.TestFiles")));

    FileManagerRevealer revealer;
    revealer.setServiceName(QStringLiteral("org.example.TestFiles"));
    QSignalSpy revealed(&revealer, &FileManagerRevealer::revealed);
    revealer.reveal({QUrl::fromLocalFile("/tmp/a b/one.md"), QUrl::fromLocalFile("/tmp/two.md")});
    ASSERT_TRUE(waitFor([&] { return !revealed.isEmpty(); }));
    EXPECT_TRUE(revealed.first().first().toBool());
    ASSERT_EQ(manager.shown.size(), 1);
    EXPECT_EQ(manager.shown.first(),
              (QStringList{"file:///tmp/a%20b/one.md", "file:///tmp/two.md"}));
    bus.unregisterService(QStringLiteral("org.example.TestFiles"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

TEST(FileManagerRevealerTest, WithoutAFileManagerOpensEachParentFolderOnce) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    QFile::remove(sandbox.recordFile());
    FileManagerRevealer revealer;
    revealer.setServiceName(QStringLiteral("org.example.NoFileManagerHere"));
    QSignalSpy revealed(&revealer, &FileManagerRevealer::revealed);
    revealer.reveal({QUrl::fromLocalFile("/tmp/x/one.md"), QUrl::fromLocalFile("/tmp/y/two.md"),
                     QUrl::fromLocalFile("/tmp/x/three.md")});
    ASSERT_TRUE(waitFor([&] { return !revealed.isEmpty(); }));
    EXPECT_FALSE(revealed.first().first().toBool());
    // One run of the handler with both folders, as paths or file URIs.
    QStringList received;
    ASSERT_TRUE(waitFor([&] {
        const QByteArray raw = readFile(sandbox.recordFile());
        if (!raw.endsWith('\n'))
            return false;
        received.clear();
        for (const QByteArray& arg : raw.chopped(1).split('\0')) {
            if (arg.isEmpty())
                continue;
            const QString text = QString::fromUtf8(arg);
            received.append(text.startsWith(QLatin1String("file:")) ? QUrl(text).toLocalFile()
                                                                    : text);
        }
        return true;
    }));
    EXPECT_EQ(received, (QStringList{"/tmp/x", "/tmp/y"}));
    EXPECT_EQ(readFile(sandbox.recordFile()).count('\n'), 1);
}

TEST(QtClipboardTest, WithoutAGraphicalSessionTheWriteFails) {
    // The Linux tests run on a QCoreApplication: there is no clipboard to own.
    QtClipboard clipboard;
    EXPECT_FALSE(clipboard.setText(QStringLiteral("/tmp/a")));
    EXPECT_FALSE(clipboard.holdsText());
}
} // namespace

#include "PickerPlatformTest.moc"
