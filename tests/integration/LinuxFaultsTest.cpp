// The same faults for real: `corvanta open` in the sandboxed home, GIO
// launching recorders as editors, a private session bus.
#include "core/model/RoutesFileCodec.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/RoutingTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <sys/inotify.h>
#include <unistd.h>

namespace {
QString corvantaFolder() {
    return LinuxSandbox::current().configHome() + "/Corvanta";
}

// The Markdown route with the recorder as its only editor.
void writeRoutes(bool opensFolder = false, std::optional<QString> urlTemplate = {}) {
    Route markdown = route("markdown", "Markdown", "md");
    markdown.editors = {{"test.MarkdownEditor", "Editor", opensFolder, true, false, urlTemplate}};
    markdown.activeBundleID = markdown.editors[0].bundleID;
    QDir().mkpath(corvantaFolder());
    ::writeRoutes(corvantaFolder() + QStringLiteral("/routes.json"), {markdown});
}

// Runs `corvanta ARGUMENTS` through a shell in `folder`: a glob passes file
// names as raw bytes, which QProcess's text arguments cannot. With `tray` it
// may start the tray instance (offscreen); without, it routes in its own process.
std::unique_ptr<QProcess> corvanta(const QByteArray& folder, const QString& arguments, bool tray) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (tray)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(QFile::decodeName(folder));
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exec \"$0\" " + arguments,
                                               QStringLiteral(CORVANTA_PATH)});
    process->waitForStarted();
    return process;
}

// A new, empty folder of test files with the names given.
QByteArray filesFolder(const char* name, const QList<QByteArray>& files) {
    const QByteArray folder = QFile::encodeName(LinuxSandbox::current().filesFolder()) + '/' + name;
    QDir(QFile::decodeName(folder)).removeRecursively();
    QDir().mkpath(QFile::decodeName(folder));
    for (const QByteArray& file : files)
        ::close(::open((folder + '/' + file).constData(), O_CREAT | O_WRONLY, 0644));
    return folder;
}

// The records once there are `count`, and a moment later, so that extra ones show.
QList<QList<QByteArray>> waitForRecords(qsizetype count) {
    SandboxHelpers::records(count, 20000);
    QThread::msleep(100);
    return LinuxSandbox::current().records();
}

TEST(LinuxFaults, HostileNamesArriveByteForByteAsOneArgumentInEveryMode) {
    const QList<QByteArray> names{"-rf.md",           "--help.md",      "with space.md",
                                  "quote's \"x\".md", "new\nline.md",   "$(touch pwned).md",
                                  "`touch pwned`.md", "100% %41.md",    "a&b=c+d;e#f?.md",
                                  "tab\there.md",     "caf\xe9 \xff.md"};
    const QByteArray folder = filesFolder("hostile", names);
    QList<QByteArray> paths;
    for (const QByteArray& name : names)
        paths.append(folder + '/' + name);
    std::sort(paths.begin(), paths.end());
    struct Mode {
        const char* name;
        bool opensFolder;
        std::optional<QString> urlTemplate;
        qsizetype launches;
    };
    // The sandbox's stand-in for Corvanta's own link handler records the links.
    const Mode modes[] = {
        {"application", false, std::nullopt, 1},
        {"folder", true, std::nullopt, 1},
        {"template", false, QStringLiteral("x-corvanta://open?file={filepath.urlencoded}"),
         names.size()},
    };
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        QFile::remove(LinuxSandbox::current().recordFile());
        writeRoutes(mode.opensFolder, mode.urlTemplate);
        const auto process = corvanta(folder, QStringLiteral("open *"), false);
        EXPECT_TRUE(process->waitForFinished(60000) && process->exitCode() == 0);
        const QList<QList<QByteArray>> records = waitForRecords(mode.launches);
        ASSERT_EQ(records.size(), mode.launches);
        QList<QByteArray> received;
        for (const QList<QByteArray>& record : records) {
            if (!mode.urlTemplate) {
                received.append(record);
                continue;
            }
            ASSERT_EQ(record.size(), 2) << "the link is a single argument";
            for (const char c : record[1])
                EXPECT_TRUE(c > 0x20 && c < 0x7f) << record[1].constData();
            received.append(
                QByteArray::fromPercentEncoding(record[1].mid(record[1].indexOf('=') + 1)));
        }
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, mode.opensFolder ? QList<QByteArray>(names.size(), folder) : paths);
    }
    EXPECT_FALSE(QFile::exists(QFile::decodeName(folder) + QStringLiteral("/pwned")));
}

TEST(LinuxFaults, NamesThatLookLikeQtOptionsAreFilesToo) {
    // "-platform x.md" made Qt look for a platform plugin called "x.md" and end
    // the program; with a display this is the tray instance starting.
    QFile::remove(LinuxSandbox::current().recordFile());
    writeRoutes();
    const QByteArray folder = filesFolder("dashes", {"-platform", "x.md"});
    const auto process = corvanta(folder, QStringLiteral("open -platform x.md"), true);
    const auto records = waitForRecords(1);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(), QList<QByteArray>{folder + "/x.md"});
    // The file without an extension waits for the teaching dialog meanwhile.
    EXPECT_FALSE(process->waitForFinished(10));
    process->kill();
    process->waitForFinished();
}

// How often routes.json was put in place in the watched folder since the last call.
int routesWrites(int inotify) {
    int writes = 0;
    alignas(struct inotify_event) char buffer[16384];
    for (ssize_t length; (length = ::read(inotify, buffer, sizeof buffer)) > 0;) {
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
            writes += event->len > 0 && qstrcmp(event->name, "routes.json") == 0;
            offset += ssize_t(sizeof(struct inotify_event) + event->len);
        }
    }
    return writes;
}

TEST(LinuxFaults, TwoStartsAtOnceMakeOneInstanceAndLoseNoFile) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("io.corvanta.Corvanta");
    writeRoutes();
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(inotify, QFile::encodeName(corvantaFolder()).constData(),
                                  IN_MOVED_TO | IN_CLOSE_WRITE),
              0);
    // The race is decided at the bus; a few rounds give it a few chances to go wrong.
    for (int round = 0; round < 4 && !HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        QFile::remove(LinuxSandbox::current().recordFile());
        writeRoutes();
        routesWrites(inotify);
        const QByteArray folder = filesFolder("race", {"first.md", "second.md"});
        const std::unique_ptr<QProcess> processes[] = {corvanta(folder, "open first.md", true),
                                                       corvanta(folder, "open second.md", true)};
        QList<QByteArray> received;
        for (const QList<QByteArray>& record : waitForRecords(2))
            received.append(record);
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, (QList<QByteArray>{folder + "/first.md", folder + "/second.md"}));

        // One hands over and leaves; the other stays as the instance and owns the name.
        QDeadlineTimer settle(15000);
        while (!settle.hasExpired() && !processes[0]->waitForFinished(10) &&
               !processes[1]->waitForFinished(10)) {
        }
        const int instance = processes[0]->state() == QProcess::NotRunning ? 1 : 0;
        QProcess& other = *processes[1 - instance];
        EXPECT_EQ(other.state(), QProcess::NotRunning);
        EXPECT_EQ(other.exitCode(), 0) << "the other one handed over";
        ASSERT_EQ(processes[instance]->state(), QProcess::Running) << "exactly one instance";
        EXPECT_EQ(qint64(bus.interface()->servicePid(service).value()),
                  processes[instance]->processId());
        EXPECT_EQ(routesWrites(inotify), 1) << "only the instance writes the routes file";

        bus.call(QDBusMessage::createMethodCall(service, "/io/corvanta/Corvanta",
                                                "org.freedesktop.Application", "ActivateAction")
                     << "quit" << QVariantList() << QVariantMap(),
                 QDBus::Block, 10000);
        EXPECT_TRUE(processes[instance]->waitForFinished(15000)) << "the instance quits when asked";
        EXPECT_EQ(processes[instance]->exitCode(), 0);
        EXPECT_EQ(routesWrites(inotify), 0) << "and does not write again";
    }
    ::close(inotify);
}
} // namespace
