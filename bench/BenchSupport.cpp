#include "bench/BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace BenchSupport {
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool wrapInXvfb(char** argv, bool useDisplay) {
    if (!qEnvironmentVariableIsEmpty("BENCH_WRAPPED") ||
        (useDisplay && !qEnvironmentVariableIsEmpty("DISPLAY")))
        return true;
    setenv("BENCH_WRAPPED", "1", 1);
    execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1280x800x24", "dbus-run-session", "--",
           argv[0], static_cast<char*>(nullptr));
    std::perror("xvfb-run");
    return false;
}

QByteArray run(const QString& program, const QStringList& arguments, bool* ok, int ms) {
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(ms);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAllStandardOutput();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? -1 : samples[samples.size() / 2];
}

ThunarSelection::ThunarSelection(const QString& folder) {
    // The window manager names the active window, which the resolver needs.
    m_windowManager.start(QStringLiteral("openbox"), {});
    QThread::msleep(500);
    m_thunar.start(QStringLiteral("thunar"), {folder});
    const QByteArray windows =
        run("xdotool", {"search", "--sync", "--onlyvisible", "--class", "Thunar"}).trimmed();
    QThread::msleep(800);
    m_window = QString::fromLatin1(windows.split('\n').last());
    run("xdotool", {"windowactivate", "--sync", m_window});
    run("xdotool", {"key", "ctrl+a"});
    QThread::msleep(300);
}

ThunarSelection::~ThunarSelection() {
    for (QProcess* process : {&m_thunar, &m_windowManager}) {
        process->kill();
        process->waitForFinished();
    }
}
} // namespace BenchSupport
