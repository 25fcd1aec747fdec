#include "tests/unit/faults/ProcessRunner.h"

#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace ProcessRunner {

pid_t start(const QByteArray& program, const QList<QByteArray>& arguments, const Options& options) {
    // Everything the child needs is prepared before fork: only async-signal-safe
    // calls may follow it.
    QList<QByteArray> argumentStore{program};
    argumentStore.append(arguments);
    std::vector<char*> argv;
    for (QByteArray& argument : argumentStore)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    QList<QByteArray> environment;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray variable(*entry);
        const QByteArray name = variable.left(variable.indexOf('='));
        bool dropped = options.unset.contains(name);
        for (const QByteArray& replacement : options.set)
            dropped = dropped || replacement.startsWith(name + '=');
        if (!dropped)
            environment.append(variable);
    }
    environment.append(options.set);
    std::vector<char*> envp;
    for (QByteArray& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!options.workingFolder.isEmpty() && ::chdir(options.workingFolder.constData()) != 0)
            ::_exit(127);
        ::execve(program.constData(), argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

std::optional<int> waitFor(pid_t pid, int ms) {
    QDeadlineTimer deadline(ms);
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
        if (done < 0 || deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(10);
    }
}

bool isRunning(pid_t pid) {
    // Looks without reaping, so that waitFor still sees the exit status.
    siginfo_t info{};
    if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    return info.si_pid == 0;
}

} // namespace ProcessRunner
