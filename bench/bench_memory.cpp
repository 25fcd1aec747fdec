// Resident memory of the tray instance with a tray present (trayer) and the
// onboarding done: idle after start, then after routing 2,000 files handed over
// one by one with D-Bus Open to an editor that only records its arguments. Runs
// itself under xvfb-run and dbus-run-session, in a throw-away home. Prints one
// line; the aims are 30 MB resident idle and no growth beyond noise.
#include "bench/BenchSupport.h"
#include "core/model/RoutesFileCodec.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {
using BenchSupport::writeFile;

constexpr int fileCount = 2000;
constexpr int warmUpCount = 100;
const char serviceName[] = "io.corvanta.Corvanta";
const char sessionMarker[] = "CORVANTA_BENCH_MEMORY_SESSION";

int fail(const char* why) {
    std::printf("bench_memory: failed: %s\n", why);
    return 1;
}

// Runs this program again inside its own X server and session bus.
int reexecInSession(char* self) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    const QString session = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    if (xvfb.isEmpty() || session.isEmpty()) {
        std::printf("bench_memory: skipped: needs xvfb-run and dbus-run-session\n");
        return 0;
    }
    qputenv(sessionMarker, "1");
    QProcess child;
    // Only the result line: the X server, the bus and the instance talk on stderr.
    child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"),
                       QStringLiteral("-screen 0 1280x800x24"), session, QStringLiteral("--"),
                       QFile::decodeName(self)});
    if (!child.waitForFinished(15 * 60 * 1000))
        return fail("the session did not end");
    return child.exitCode();
}

// Kilobytes of one field of /proc/PID/smaps_rollup ("Rss", "Pss").
qint64 kilobytes(qint64 pid, const QByteArray& field) {
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

qint64 residentKilobytes(qint64 pid) {
    return kilobytes(pid, "Rss");
}

qsizetype openDescriptors(qint64 pid) {
    return QDir(QStringLiteral("/proc/%1/fd").arg(pid))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

// Records the recorder has finished (each ends with a NUL and a newline).
int recordCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return int(file.readAll().count(QByteArray("\0\n", 2)));
}

bool waitForRecords(const QString& path, int count, int ms) {
    QDeadlineTimer deadline(ms);
    while (recordCount(path) < count) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Lets the instance finish whatever the last request started.
qint64 settledResidentKilobytes(qint64 pid) {
    QThread::msleep(1500);
    return residentKilobytes(pid);
}

double megabytes(qint64 kilobytes) {
    return double(kilobytes) / 1024.0;
}

QByteArray routesFile() {
    Route markdown;
    markdown.id = QStringLiteral("markdown");
    markdown.name = QStringLiteral("Markdown");
    markdown.extensions = {QStringLiteral("md")};
    Editor editor;
    editor.bundleID = QStringLiteral("bench.Recorder");
    editor.name = QStringLiteral("Recorder");
    markdown.editors = {editor};
    markdown.activeBundleID = editor.bundleID;
    markdown.normalizeUtilities();
    RouteStoreState state;
    state.routes = {markdown};
    return RoutesFileCodec::encode(state);
}

int measure() {
    QTemporaryDir root;
    if (!root.isValid())
        return fail("no temporary folder");
    const QString home = root.filePath(QStringLiteral("home"));
    const QString config = home + QStringLiteral("/.config");
    const QString data = home + QStringLiteral("/.local/share");
    const QString records = root.filePath(QStringLiteral("records"));
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(data) + ":/usr/share");
    qputenv("CORVANTA_RECORDER_OUT", QFile::encodeName(records));

    const QString applications = data + QStringLiteral("/applications");
    if (!writeFile(applications + QStringLiteral("/bench.Recorder.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" RECORDER_PATH
                   " %F\nMimeType=text/markdown;\n") ||
        !writeFile(config + QStringLiteral("/Corvanta/routes.json"), routesFile()) ||
        !writeFile(config + QStringLiteral("/Corvanta/Corvanta.conf"),
                   "[General]\nhasCompletedMenuBarOnboarding=true\n"))
        return fail("cannot write the test home");
    if (QProcess::execute(QStringLiteral("update-desktop-database"), {applications}) != 0)
        return fail("update-desktop-database");
    QStringList uris;
    for (int i = 0; i < fileCount; ++i) {
        const QString path = home + QStringLiteral("/files/note %1.md").arg(i);
        if (!writeFile(path, "# note\n"))
            return fail("cannot write the files");
        uris.append(QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded()));
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail("no session bus");
    // A system tray, as on a desktop: the icon is embedded and drawn.
    QProcess tray;
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--widthtype"),
                QStringLiteral("pixel"), QStringLiteral("--width"), QStringLiteral("200")});
    if (!tray.waitForStarted())
        return fail("trayer did not start (scripts/install-deps.sh installs it)");
    QThread::msleep(500);
    QProcess instance;
    instance.start(QStringLiteral(CORVANTA_PATH), {});
    if (!instance.waitForStarted())
        return fail("corvanta did not start");
    QDeadlineTimer started(30000);
    while (!bus.interface()->isServiceRegistered(QLatin1String(serviceName)).value()) {
        if (started.hasExpired())
            return fail("the instance did not take its bus name");
        QThread::msleep(20);
    }
    const qint64 pid = instance.processId();
    const qint64 idle = settledResidentKilobytes(pid);
    const qint64 idleProportional = kilobytes(pid, "Pss");
    const qsizetype idleDescriptors = openDescriptors(pid);

    auto open = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                QLatin1String(serviceName), QStringLiteral("/io/corvanta/Corvanta"),
                QStringLiteral("org.freedesktop.Application"), QStringLiteral("Open"));
            message.setArguments({QStringList{uris[i]}, QVariantMap()});
            bus.call(message, QDBus::Block, 10000);
            // Keeps the number of editors starting at once small.
            if ((i + 1) % 50 == 0 && !waitForRecords(records, i + 1, 60000))
                return false;
        }
        return waitForRecords(records, to, 60000);
    };
    if (!open(0, warmUpCount))
        return fail("the first files did not reach the editor");
    const qint64 warm = settledResidentKilobytes(pid);
    const qsizetype warmDescriptors = openDescriptors(pid);
    if (!open(warmUpCount, fileCount))
        return fail("not every file reached the editor");
    const qint64 after = settledResidentKilobytes(pid);
    const qsizetype afterDescriptors = openDescriptors(pid);

    QDBusMessage quit = QDBusMessage::createMethodCall(
        QLatin1String(serviceName), QStringLiteral("/io/corvanta/Corvanta"),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
    quit.setArguments({QStringLiteral("quit"), QVariantList(), QVariantMap()});
    bus.call(quit, QDBus::Block, 10000);
    if (!instance.waitForFinished(10000))
        instance.kill();
    tray.terminate();
    tray.waitForFinished(5000);

    if (idle < 0 || warm < 0 || after < 0)
        return fail("cannot read the resident size");
    // Measured from the first files on: what the first route loads once
    // (history, launch context) is no growth.
    const double perFile = double(after - warm) / (fileCount - warmUpCount);
    std::printf("bench_memory: tray instance with a tray, onboarding done: resident %.1f MB idle "
                "(proportional %.1f MB) [aim: 30 MB at most: %s], %.1f MB after %d routed files, "
                "%.1f MB after %d (%+.1f MB from idle, %+.2f MB and %+.2f KB per file after the "
                "first %d) [aim: 0.1 MB at most after the first files: %s]; open descriptors "
                "%lld idle, %lld after the first files, %lld after all [aim: no more: %s]\n",
                megabytes(idle), megabytes(idleProportional), idle <= 30 * 1024 ? "met" : "missed",
                megabytes(warm), warmUpCount, megabytes(after), fileCount, megabytes(after - idle),
                megabytes(after - warm), perFile, warmUpCount,
                after - warm <= 102 ? "met" : "missed", qlonglong(idleDescriptors),
                qlonglong(warmDescriptors), qlonglong(afterDescriptors),
                afterDescriptors <= warmDescriptors ? "met" : "missed");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet(sessionMarker)) {
        QCoreApplication app(argc, argv);
        return reexecInSession(QFile::encodeName(QCoreApplication::applicationFilePath()).data());
    }
    QCoreApplication app(argc, argv);
    return measure();
}
