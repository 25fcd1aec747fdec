#include "platform/linux/LinuxBoundedProcessRunner.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <csignal>
#include <unistd.h>

namespace {

void killGroup(QProcess& process) {
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    process.kill();
    process.waitForFinished(1000);
}

} // namespace

BoundedProcessRunner::Result LinuxBoundedProcessRunner::run(const QString& program,
                                                            const QStringList& arguments,
                                                            int timeoutMs, qsizetype outputLimit) {
    Result result;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
        if (process.state() != QProcess::NotRunning) {
            result.status = Result::Status::timedOut;
            killGroup(process);
        }
        return result;
    }
    while (process.state() != QProcess::NotRunning) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            result.status = Result::Status::timedOut;
            killGroup(process);
            return result;
        }
        process.waitForReadyRead(int(left));
        result.standardOutput += process.readAllStandardOutput();
        if (result.standardOutput.size() > outputLimit) {
            result.status = Result::Status::tooMuchOutput;
            result.standardOutput.clear();
            killGroup(process);
            return result;
        }
    }
    result.standardOutput += process.readAllStandardOutput();
    if (result.standardOutput.size() > outputLimit) {
        result.status = Result::Status::tooMuchOutput;
        result.standardOutput.clear();
        return result;
    }
    if (process.exitStatus() == QProcess::CrashExit) {
        result.status = Result::Status::crashed;
        return result;
    }
    result.status = Result::Status::exited;
    result.exitCode = process.exitCode();
    return result;
}
