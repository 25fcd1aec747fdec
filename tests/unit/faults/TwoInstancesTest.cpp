// Two `corvanta open` started at the same moment on one session bus: one must
// become the tray instance and open both files, the other must hand its file
// over and leave, and only the instance may write the routes file.
#include "core/model/RoutesFileCodec.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/unit/faults/ProcessRunner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {
const char serviceName[] = "io.corvanta.Corvanta";

QString corvantaFolder() {
    return LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta");
}

// Counts the times a file called routes.json is put in place in a folder.
class WriteCounter {
public:
    explicit WriteCounter(const QString& folder) {
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd >= 0)
            m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                                          IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~WriteCounter() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isValid() const { return m_fd >= 0 && m_watch >= 0; }
    int writes() {
        alignas(struct inotify_event) char buffer[16384];
        while (true) {
            const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
            if (length <= 0)
                break;
            for (ssize_t offset = 0; offset < length;) {
                const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
                if (event->len > 0 && qstrcmp(event->name, "routes.json") == 0)
                    ++m_writes;
                offset += ssize_t(sizeof(struct inotify_event) + event->len);
            }
        }
        return m_writes;
    }

private:
    int m_fd = -1;
    int m_watch = -1;
    int m_writes = 0;
};

void writeRoutes() {
    Route markdown;
    markdown.id = QStringLiteral("markdown");
    markdown.name = QStringLiteral("Markdown");
    markdown.extensions = {QStringLiteral("md")};
    Editor editor;
    editor.bundleID = QStringLiteral("test.MarkdownEditor");
    editor.name = QStringLiteral("Markdown Editor");
    markdown.editors = {editor};
    markdown.activeBundleID = editor.bundleID;
    markdown.normalizeUtilities();
    RouteStoreState state;
    state.routes = {markdown};
    QDir().mkpath(corvantaFolder());
    QFile file(corvantaFolder() + QStringLiteral("/routes.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(RoutesFileCodec::encode(state));
}

// Every path the recorder has received so far.
QList<QByteArray> recordedPaths() {
    QList<QByteArray> paths;
    for (const QList<QByteArray>& record : LinuxSandbox::current().records())
        paths.append(record);
    return paths;
}

void quitInstance(QDBusConnection& bus) {
    QDBusMessage quit = QDBusMessage::createMethodCall(
        QLatin1String(serviceName), QStringLiteral("/io/corvanta/Corvanta"),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
    quit.setArguments({QStringLiteral("quit"), QVariantList(), QVariantMap()});
    quit.setAutoStartService(false);
    bus.call(quit, QDBus::Block, 10000);
}

TEST(TwoInstances, OneBecomesTheInstanceTheOtherHandsOverNothingIsLost) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    ProcessRunner::Options options;
    options.set = {"QT_QPA_PLATFORM=offscreen"};
    options.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
    options.workingFolder = QFile::encodeName(sandbox.filesFolder());

    // The race is decided at the bus; a few rounds give it a few chances to go wrong.
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        QFile::remove(sandbox.recordFile());
        writeRoutes();
        const QByteArray first = "first-" + QByteArray::number(round) + ".md";
        const QByteArray second = "second-" + QByteArray::number(round) + ".md";
        for (const QByteArray& name : {first, second}) {
            QFile file(sandbox.filesFolder() + QLatin1Char('/') + QString::fromUtf8(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        WriteCounter counter(corvantaFolder());
        ASSERT_TRUE(counter.isValid());

        const pid_t pids[2] = {
            ProcessRunner::start(CORVANTA_PATH, {"open", first}, options),
            ProcessRunner::start(CORVANTA_PATH, {"open", second}, options),
        };
        ASSERT_GT(pids[0], 0);
        ASSERT_GT(pids[1], 0);

        // Both files reach the editor.
        const QList<QByteArray> expected{options.workingFolder + '/' + first,
                                         options.workingFolder + '/' + second};
        QDeadlineTimer deadline(30000);
        QList<QByteArray> received;
        while (!deadline.hasExpired()) {
            received = recordedPaths();
            if (received.size() >= 2)
                break;
            QThread::msleep(20);
        }
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, expected);

        // One hands over and leaves; the other stays as the instance and owns the name.
        std::optional<int> statuses[2];
        QDeadlineTimer settle(15000);
        while (!settle.hasExpired() && ProcessRunner::isRunning(pids[0]) &&
               ProcessRunner::isRunning(pids[1]))
            QThread::msleep(20);
        const bool running[2] = {ProcessRunner::isRunning(pids[0]),
                                 ProcessRunner::isRunning(pids[1])};
        EXPECT_NE(running[0], running[1]) << "exactly one instance";
        const int instance = running[0] ? 0 : 1;
        statuses[1 - instance] = ProcessRunner::waitFor(pids[1 - instance], 1000);
        EXPECT_EQ(statuses[1 - instance], std::optional(0)) << "the other one handed over";
        const auto owner = bus.interface()->servicePid(QLatin1String(serviceName));
        EXPECT_TRUE(owner.isValid());
        EXPECT_EQ(pid_t(owner.value()), pids[instance]);

        EXPECT_EQ(counter.writes(), 1) << "only the instance writes the routes file";

        quitInstance(bus);
        statuses[instance] = ProcessRunner::waitFor(pids[instance], 15000);
        EXPECT_EQ(statuses[instance], std::optional(0)) << "the instance quits when asked";
        for (const pid_t pid : pids) {
            if (ProcessRunner::isRunning(pid)) {
                ::kill(pid, SIGKILL);
                ProcessRunner::waitFor(pid, 5000);
            }
        }
        EXPECT_EQ(counter.writes(), 1);
        if (HasFailure())
            break;
    }
}
} // namespace
