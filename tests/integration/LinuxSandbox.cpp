#include "tests/integration/LinuxSandbox.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace {

struct Entry {
    const char* relativePath;
    const char* program;
    const char* contents;
};

// %1 is the folder of the test programs.
const Entry entries[] = {
    {"test.MarkdownEditor.desktop", "recorder-editor",
     "[Desktop Entry]\nType=Application\nName=Markdown Editor\nName[de]=Markdown-Bearbeiter\n"
     "Icon=accessories-text-editor\nTryExec=recorder-editor\nExec=recorder-editor %F\n"
     "MimeType=text/markdown;\n"},
    {"test.TextViewer.desktop", "recorder-viewer",
     "[Desktop Entry]\nType=Application\nName=Text Viewer\n"
     "Exec=env CORVANTA_VIEWER=1 %1/recorder-viewer %F\nMimeType=text/plain;\n"},
    {"kde/notes.desktop", "recorder-notes",
     "[Desktop Entry]\nType=Application\nName=KDE Notes\nExec=recorder-notes %U\n"
     "MimeType=text/markdown;\n"},
    {"test.Browser.desktop", "recorder-browser",
     "[Desktop Entry]\nType=Application\nName=Test Browser\nExec=recorder-browser %U\n"
     "MimeType=x-scheme-handler/http;x-scheme-handler/https;\n"},
    {"test.Hidden.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Hidden Editor\nHidden=true\n"
     "Exec=recorder-editor %F\nMimeType=text/markdown;\n"},
    {"test.NotInstalled.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Not Installed\nTryExec=/nonexistent/editor\n"
     "Exec=/nonexistent/editor %F\nMimeType=text/markdown;\n"},
    {"test.BusApp.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Bus App\nExec=/bin/true\n"
     "MimeType=text/markdown;\n"},
    // A script: the running process is its interpreter, with the script as argument.
    {"test.Script.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Script App\nExec=recorder-script %F\n"},
    // Editors the end-to-end tests' rules name, each marking its records.
    {"test.RuleEditor.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Rule Editor\nExec=recorder-editor --rule %F\n"},
    {"test.SecondEditor.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Second Editor\nExec=recorder-editor --second %F\n"},
    {"test.HotkeyEditor.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Hotkey Editor\nExec=recorder-editor --hotkey %F\n"
     "MimeType=text/plain;\n"},
    {"test.SchemeHandler.desktop", nullptr,
     "[Desktop Entry]\nType=Application\nName=Scheme Handler\nExec=recorder-editor --scheme %u\n"
     "MimeType=x-scheme-handler/x-corvanta-test;\n"},
    {"io.corvanta.Corvanta.desktop", "recorder-corvanta",
     "[Desktop Entry]\nType=Application\nName=Corvanta\nExec=recorder-corvanta open %U\n"
     "MimeType=text/markdown;text/plain;x-scheme-handler/x-corvanta;\n"},
};

void setEnv(const char* name, const QString& value) {
    qputenv(name, QFile::encodeName(value));
}

// Runs a tool of the sandbox's set-up; its output, or nothing with `error` set.
std::optional<QByteArray> runTool(const QString& program, const QStringList& arguments,
                                  QString& error) {
    QProcess tool;
    tool.start(program, arguments);
    if (tool.waitForFinished(30000) && tool.exitCode() == 0)
        return tool.readAllStandardOutput();
    error =
        program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(tool.readAllStandardError());
    return std::nullopt;
}
} // namespace

LinuxSandbox& LinuxSandbox::current() {
    static LinuxSandbox sandbox;
    return sandbox;
}

bool LinuxSandbox::setUp(const QString& recorderPath) {
    QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/corvanta-linux-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        m_error = QStringLiteral("cannot create a temporary folder");
        return false;
    }
    m_root = QFile::decodeName(pattern);
    for (const QString& folder :
         {configHome(), dataHome(), applicationsFolder(), binFolder(), filesFolder(),
          home() + QStringLiteral("/.cache"), m_root + QStringLiteral("/share")})
        QDir().mkpath(folder);

    setEnv("HOME", home());
    setEnv("XDG_CONFIG_HOME", configHome());
    setEnv("XDG_DATA_HOME", dataHome());
    setEnv("XDG_CACHE_HOME", home() + QStringLiteral("/.cache"));
    setEnv("XDG_STATE_HOME", home() + QStringLiteral("/.local/state"));
    setEnv("XDG_DATA_DIRS", m_root + QStringLiteral("/share:/usr/share"));
    setEnv("XDG_CONFIG_DIRS", m_root + QStringLiteral("/etc-xdg"));
    setEnv("PATH", binFolder() + QLatin1Char(':') + QString::fromLocal8Bit(qgetenv("PATH")));
    setEnv("CORVANTA_RECORDER_OUT", recordFile());
    setEnv("LANGUAGE", QStringLiteral("de"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("CORVANTA_RECORDER_STAY");

    if (!writeEntries(recorderPath))
        return false;
    return startBus();
}

bool LinuxSandbox::writeEntries(const QString& recorderPath) {
    for (const Entry& entry : entries) {
        QString contents = QString::fromUtf8(entry.contents);
        contents.replace(QStringLiteral("%1"), binFolder());
        if (!writeFile(applicationsFolder() + QLatin1Char('/') + QLatin1String(entry.relativePath),
                       contents.toUtf8())) {
            m_error = QStringLiteral("cannot write %1").arg(QLatin1String(entry.relativePath));
            return false;
        }
        if (entry.program) {
            const QString program = programPath(QLatin1String(entry.program));
            // A copy, not a link: each test application must be its own executable.
            if (!QFile::exists(program) && !QFile::copy(recorderPath, program)) {
                m_error = QStringLiteral("cannot copy the recorder to %1").arg(program);
                return false;
            }
        }
    }
    const QString script = programPath(QStringLiteral("recorder-script"));
    if (!writeFile(
            script,
            "#!/bin/sh\nwhile [ ! -e \"$CORVANTA_RECORDER_STAY\" ]; do sleep 0.02; done\n") ||
        !QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner)) {
        m_error = QStringLiteral("cannot write %1").arg(script);
        return false;
    }
    return runTool(QStringLiteral("update-desktop-database"), {applicationsFolder()}, m_error)
        .has_value();
}

bool LinuxSandbox::startBus() {
    const std::optional<QByteArray> printed = runTool(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--fork"), QStringLiteral("--print-address=1"),
         QStringLiteral("--print-pid=1"), QStringLiteral("--nosyslog")},
        m_error);
    if (!printed)
        return false;
    const QList<QByteArray> lines = printed->trimmed().split('\n');
    if (lines.size() < 2) {
        m_error = QStringLiteral("dbus-daemon printed no address");
        return false;
    }
    m_busAddress = QString::fromUtf8(lines.at(0).trimmed());
    m_busPid = lines.at(1).trimmed().toLongLong();
    setEnv("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    return true;
}

void LinuxSandbox::tearDown() {
    if (m_busPid > 0)
        ::kill(static_cast<pid_t>(m_busPid), SIGTERM);
    m_busPid = 0;
    // By its bytes: the test files include names that are not UTF-8, which QDir cannot name.
    std::error_code ignored;
    if (!m_root.isEmpty())
        std::filesystem::remove_all(QFile::encodeName(m_root).toStdString(), ignored);
    m_root.clear();
}

QList<QList<QByteArray>> LinuxSandbox::records() const {
    QList<QList<QByteArray>> result;
    const QByteArray data = readFile(recordFile());
    // Each argument ends with a NUL, each record with a newline after its last.
    QList<QByteArray> arguments;
    for (qsizetype at = 0; at < data.size();) {
        if (data[at] == '\n') {
            result.append(std::exchange(arguments, {}));
            ++at;
            continue;
        }
        const qsizetype end = data.indexOf('\0', at);
        if (end < 0)
            break; // still being written
        arguments.append(data.mid(at, end - at));
        at = end + 1;
    }
    return result;
}

namespace {
std::optional<qint64> nameOwnerPid() {
    const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(
        QStringLiteral("io.corvanta.Corvanta"));
    return pid.isValid() ? std::optional(qint64(pid.value())) : std::nullopt;
}
} // namespace

std::optional<qint64> LinuxSandbox::corvantaInstancePid() {
    const std::optional<qint64> pid = nameOwnerPid();
    const QString program =
        pid ? QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(*pid)) : QString();
    return program.endsWith(QLatin1String("/corvanta-app")) ? pid : std::nullopt;
}

void LinuxSandbox::stopCorvantaInstance() {
    // A launcher that holds the name hands it to the tray first.
    SandboxHelpers::waitUntil([] { return !nameOwnerPid() || corvantaInstancePid(); }, 5000);
    const std::optional<qint64> pid = corvantaInstancePid();
    if (!pid)
        return;
    ::kill(pid_t(*pid), SIGTERM);
    QElapsedTimer timer;
    timer.start();
    while (corvantaInstancePid() && timer.elapsed() < 5000)
        QThread::msleep(20);
}

namespace SandboxHelpers {
bool waitUntil(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents();
        if (condition())
            return true;
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
}

QList<QList<QByteArray>> records(qsizetype count, int ms) {
    const LinuxSandbox& sandbox = LinuxSandbox::current();
    waitUntil([&] { return sandbox.records().size() >= count; }, ms);
    return sandbox.records();
}

QString routesFile() {
    return LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta/routes.json");
}

QByteArray routesBytes() {
    return readFile(routesFile());
}

QByteArray sample(const QByteArray& name) {
    const QByteArray path = QFile::encodeName(LinuxSandbox::current().filesFolder()) + '/' + name;
    QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/'))));
    // By its bytes: QFile cannot name a file whose name is not UTF-8.
    if (FILE* file = std::fopen(path.constData(), "w")) {
        std::fputs("# sample\n", file);
        std::fclose(file);
    }
    return path;
}
} // namespace SandboxHelpers
