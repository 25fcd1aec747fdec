// Time from an open request to the start of the editor process, as a
// double-click sees it: `gio open` of a Markdown file whose default is the
// running Corvanta, alternating with `gio open` of a file whose default is the
// editor itself. Also (a) D-Bus Open to the running instance, (b) `corvanta
// open` handing over to it, (c) a cold start of `corvanta open` and (d) of
// `gio open` (the bus starts Corvanta), each next to a direct launch in the same
// run. Runs itself in a throw-away home under dbus-run-session, on a real X
// server (xvfb-run) when there is one, else with Qt offscreen (`--offscreen` asks
// for that). Prints one line, each figure next to its aim.
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
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {
using BenchSupport::monotonicNs;
using BenchSupport::writeFile;

constexpr int rounds = 25;
const char serviceName[] = "io.corvanta.Corvanta";
const char sessionMarker[] = "CORVANTA_BENCH_OPEN_SESSION";

int fail(const QString& why) {
    std::printf("bench_open_latency: failed: %s\n", qPrintable(why));
    return 1;
}

// Starts a process that is not waited for, its output discarded.
void startQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

bool run(const QString& program, const QStringList& arguments) {
    bool ok = false;
    BenchSupport::run(program, arguments, &ok, 30000);
    return ok;
}

class Bench {
public:
    explicit Bench(QString root)
        : m_root(std::move(root))
        , m_stamps(m_root + QStringLiteral("/stamps")) {}

    bool instanceRuns() const {
        const auto reply = QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QLatin1String(serviceName));
        return reply.isValid() && reply.value();
    }
    bool waitForInstance(bool running) const {
        QDeadlineTimer deadline(20000);
        while (instanceRuns() != running && !deadline.hasExpired())
            QThread::msleep(2);
        return instanceRuns() == running;
    }
    void quitInstance() {
        QDBusMessage quit = QDBusMessage::createMethodCall(
            QLatin1String(serviceName), QStringLiteral("/io/corvanta/Corvanta"),
            QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
        quit.setArguments({QStringLiteral("quit"), QVariantList(), QVariantMap()});
        quit.setAutoStartService(false);
        QDBusConnection::sessionBus().call(quit, QDBus::Block, 5000);
        waitForInstance(false);
        for (QProcess* process : m_instances) {
            process->waitForFinished(5000);
            delete process;
        }
        m_instances.clear();
    }
    // Starts the tray instance (or `corvanta ARGS` that becomes one); not waited for.
    void startCorvanta(const QStringList& arguments) {
        auto* process = new QProcess;
        process->setStandardOutputFile(QProcess::nullDevice());
        // Kept for a start that fails (see startFailure).
        process->setStandardErrorFile(m_root + QStringLiteral("/corvanta.err"));
        process->start(QStringLiteral(CORVANTA_PATH), arguments);
        m_instances.append(process);
    }

    // Latency in milliseconds of one request: `request` is made at the moment
    // measured from; the editor's own start stamp ends it. -1 on a time-out.
    double measure(const std::function<void()>& request) {
        const qint64 before = stampCount();
        const qint64 start = monotonicNs();
        request();
        QDeadlineTimer deadline(20000);
        while (stampCount() <= before && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::usleep(200);
        }
        const QList<QByteArray> lines = readStamps();
        if (lines.size() <= before)
            return -1;
        return double(lines.at(before).toLongLong() - start) / 1e6;
    }

    // What the last `corvanta` started here said, for a failure's line.
    QString startFailure(QString why) const {
        // Polled: no event loop ran to note its end.
        if (!m_instances.isEmpty() && m_instances.last()->waitForFinished(0)) {
            const QProcess& last = *m_instances.last();
            why += last.exitStatus() == QProcess::CrashExit
                       ? QStringLiteral(" (it crashed)")
                       : QStringLiteral(" (it exited with %1)").arg(last.exitCode());
        }
        QFile err(m_root + QStringLiteral("/corvanta.err"));
        const QByteArray said = err.open(QIODevice::ReadOnly) ? err.readAll().trimmed() : "";
        return said.isEmpty() ? why
                              : why + QStringLiteral(" (it said: %1)")
                                          .arg(QString::fromLocal8Bit(said).replace('\n', "; "));
    }
    QString file(const QString& name) const { return m_root + QStringLiteral("/files/") + name; }

private:
    QList<QByteArray> readStamps() const {
        QFile file(m_stamps);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = file.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }
    qint64 stampCount() const { return readStamps().size(); }

    QString m_root;
    QString m_stamps;
    QList<QProcess*> m_instances;
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? -1 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

int benchInSession(const QString& root) {
    const QString applications = root + QStringLiteral("/data/applications");
    const QString editor = QStringLiteral(EDITOR_PATH);
    const QByteArray editorEntry =
        "[Desktop Entry]\nType=Application\nName=Bench Editor\nExec=" + editor.toUtf8() +
        " %F\nMimeType=text/markdown;text/plain;\n";
    // Corvanta's entry as the install step writes it, pointing at this build.
    const QByteArray ownEntry =
        "[Desktop Entry]\nType=Application\nName=Corvanta\nExec=" + QByteArray(CORVANTA_PATH) +
        " open %U\nDBusActivatable=true\nMimeType=text/markdown;\n";
    if (!writeFile(applications + QStringLiteral("/bench.Editor.desktop"), editorEntry) ||
        !writeFile(applications + QStringLiteral("/io.corvanta.Corvanta.desktop"), ownEntry))
        return fail(QStringLiteral("cannot write desktop entries"));

    Route markdown;
    markdown.id = QStringLiteral("markdown");
    markdown.name = QStringLiteral("Markdown");
    markdown.extensions = {QStringLiteral("md")};
    markdown.normalizeUtilities();
    Editor benchEditor;
    benchEditor.bundleID = QStringLiteral("bench.Editor");
    benchEditor.name = QStringLiteral("Bench Editor");
    markdown.editors = {benchEditor};
    markdown.activeBundleID = benchEditor.bundleID;
    RouteStoreState state;
    state.routes = {markdown};
    if (!writeFile(root + QStringLiteral("/config/Corvanta/routes.json"),
                   RoutesFileCodec::encode(state)) ||
        !writeFile(root + QStringLiteral("/config/Corvanta/Corvanta.conf"),
                   "[General]\nhasCompletedMenuBarOnboarding=true\n") ||
        !writeFile(root + QStringLiteral("/files/direct.txt"), "direct\n"))
        return fail(QStringLiteral("cannot write the routes file"));
    for (int i = 0; i < rounds * 5 + 4; ++i)
        writeFile(root + QStringLiteral("/files/n%1.md").arg(i), "# note\n");

    if (!run(QStringLiteral("update-desktop-database"), {applications}) ||
        !run(QStringLiteral("gio"), {QStringLiteral("mime"), QStringLiteral("text/plain"),
                                     QStringLiteral("bench.Editor.desktop")}) ||
        !run(QStringLiteral("gio"), {QStringLiteral("mime"), QStringLiteral("text/markdown"),
                                     QStringLiteral("io.corvanta.Corvanta.desktop")}))
        return fail(QStringLiteral("cannot register the desktop entries"));

    Bench bench(root);
    QList<double> direct, busOpen, gioThrough, forwarded, cold, coldGio;
    int note = 0;
    auto directRound = [&] {
        direct.append(bench.measure([&] {
            startQuietly(QStringLiteral("gio"),
                         {QStringLiteral("open"), bench.file(QStringLiteral("direct.txt"))});
        }));
    };

    // (c) cold starts of `corvanta open` and (d) of `gio open`, which has the bus
    // start Corvanta; each against a direct launch.
    for (int i = 0; i < rounds; ++i) {
        for (QList<double>* series : {&cold, &coldGio}) {
            directRound();
            const QString path = bench.file(QStringLiteral("n%1.md").arg(note++));
            series->append(bench.measure([&] {
                if (series == &cold)
                    bench.startCorvanta({QStringLiteral("open"), path});
                else
                    startQuietly(QStringLiteral("gio"), {QStringLiteral("open"), path});
            }));
            if (!bench.waitForInstance(true))
                return fail(QStringLiteral("the cold start did not become the instance"));
            bench.quitInstance();
        }
    }

    // (a) and (b) against one running instance.
    bench.startCorvanta({});
    if (!bench.waitForInstance(true))
        return fail(bench.startFailure(QStringLiteral("the tray instance did not start")));
    QThread::msleep(300);
    for (int i = 0; i < rounds; ++i) {
        directRound();
        const QString viaBus = bench.file(QStringLiteral("n%1.md").arg(note++));
        busOpen.append(bench.measure([&] {
            QDBusMessage open = QDBusMessage::createMethodCall(
                QLatin1String(serviceName), QStringLiteral("/io/corvanta/Corvanta"),
                QStringLiteral("org.freedesktop.Application"), QStringLiteral("Open"));
            open.setArguments(
                {QStringList{QString::fromLatin1(QUrl::fromLocalFile(viaBus).toEncoded())},
                 QVariantMap()});
            QDBusConnection::sessionBus().asyncCall(open);
        }));
        const QString viaGio = bench.file(QStringLiteral("n%1.md").arg(note++));
        gioThrough.append(bench.measure([&] {
            startQuietly(QStringLiteral("gio"), {QStringLiteral("open"), viaGio});
        }));
        const QString viaCommand = bench.file(QStringLiteral("n%1.md").arg(note++));
        forwarded.append(bench.measure([&] {
            startQuietly(QStringLiteral(CORVANTA_PATH), {QStringLiteral("open"), viaCommand});
        }));
    }
    bench.quitInstance();

    for (const QList<double>* series :
         {&direct, &busOpen, &gioThrough, &forwarded, &cold, &coldGio}) {
        if (series->contains(-1))
            return fail(QStringLiteral("an editor did not start within 20 s"));
    }
    const double d = median(direct), a = median(busOpen), g = median(gioThrough),
                 b = median(forwarded), c = median(cold), cg = median(coldGio);
    const auto verdict = [](bool met) { return met ? "met" : "missed"; };
    // The through-Corvanta runs alternate with the direct ones: the same
    // machine load falls on both sides of each ratio.
    std::printf("bench_open_latency (%s): request to editor start, median of %d: gio open "
                "through the instance %.1f ms vs gio open direct %.1f ms: x%.2f [aim: x1.10 at "
                "most: %s]; (a) D-Bus Open to instance %.1f ms (%+.1f ms, x%.2f); (b) corvanta "
                "open forwarding %.1f ms (x%.2f) [aim: x1.50 at most: %s]; (c) cold start of "
                "corvanta open %.1f ms (x%.2f) [aim: 40 ms at most: %s]; (d) cold start of gio "
                "open %.1f ms (x%.2f) [aim: 40 ms at most: %s]\n",
                qEnvironmentVariableIsSet("DISPLAY") ? "X server" : "offscreen", rounds, g, d,
                g / d, verdict(g / d <= 1.10), a, a - d, a / d, b, b / d, verdict(b / d <= 1.50), c,
                c / d, verdict(c <= 40), cg, cg / d, verdict(cg <= 40));
    std::fflush(stdout);
    return 0;
}

// Runs this program again inside its own session bus (and X server, unless
// `offscreen`), with the throw-away home in place before the bus starts.
int reexecInSession(char* self, bool offscreen) {
    const QString session = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    if (session.isEmpty()) {
        std::printf("bench_open_latency: skipped: needs dbus-run-session\n");
        return 0;
    }
    const QString xvfb = offscreen ? QString() : QStandardPaths::findExecutable("xvfb-run");
    QTemporaryDir home;
    if (!home.isValid())
        return fail(QStringLiteral("no temporary folder"));
    const QString root = home.path();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(sessionMarker), root);
    environment.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    environment.insert(QStringLiteral("OPEN_LATENCY_STAMPS"), root + QStringLiteral("/stamps"));
    if (xvfb.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The bus starts Corvanta for a `gio open` when none runs, as the installed
    // service file has it do.
    if (!writeFile(root + QStringLiteral("/data/dbus-1/services/io.corvanta.Corvanta.service"),
                   "[D-BUS Service]\nName=io.corvanta.Corvanta\nExec=" CORVANTA_PATH
                   " --dbus-service\n"))
        return fail(QStringLiteral("cannot write the bus service file"));
    const QString runtime = root + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"})
        environment.remove(QLatin1String(name));
    QProcess child;
    child.setProcessEnvironment(environment);
    // Only the result line: the bus and the instances it starts talk on stderr.
    child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    child.setStandardErrorFile(QProcess::nullDevice());
    if (xvfb.isEmpty())
        child.start(session, {QStringLiteral("--"), QFile::decodeName(self)});
    else
        child.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"),
                           QStringLiteral("-screen 0 1280x800x24"), session, QStringLiteral("--"),
                           QFile::decodeName(self)});
    if (!child.waitForFinished(15 * 60 * 1000))
        return fail(QStringLiteral("the session did not end"));
    return child.exitCode();
}
} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet(sessionMarker)) {
        QCoreApplication app(argc, argv);
        const bool offscreen = app.arguments().contains(QStringLiteral("--offscreen"));
        return reexecInSession(argv[0], offscreen);
    }
    QCoreApplication app(argc, argv);
    // The home is the folder the parent made for this run.
    return benchInSession(qEnvironmentVariable(sessionMarker));
}
