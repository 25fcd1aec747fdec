#include "platform/linux/SpawnProcessRunner.h"

#include "platform/linux/GLibPointers.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> argumentVector(const ProcessRequest& request) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(request.program.constData()));
    for (const QByteArray& argument : request.arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    return argv;
}

GStrvPtr environmentFor(const ProcessRequest& request) {
    gchar** environment = g_get_environ();
    for (const auto& [name, value] : request.environment)
        environment = g_environ_setenv(environment, name.constData(), value.constData(), TRUE);
    return GStrvPtr(environment);
}

// Reads what is available now, at most a megabyte so that a program that
// never stops writing cannot keep the caller from its deadline; false at end of
// file or on an error.
bool readAvailable(int fd, QByteArray& into) {
    char buffer[16384];
    for (int chunk = 0; chunk < 64; ++chunk) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            into.append(buffer, count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false;
    }
    return true;
}

// Standard error only has to yield its last lines: older text is dropped.
constexpr qsizetype errorTail = 64 * 1024;

const QString notStarted = QStringLiteral("The program could not be started");

void keepTail(QByteArray& text) {
    if (text.size() > errorTail)
        text.remove(0, text.size() - errorTail);
}

// A program left running past its bound still writes to its pipes: keep
// reading (and dropping) until it closes them, so a write never kills it with
// SIGPIPE, then reap it.
void drainAndReapInBackground(GPid pid, int output, int error) {
    std::thread([pid, output, error] {
        for (const int fd : {output, error})
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        pollfd watch[2] = {{output, POLLIN, 0}, {error, POLLIN, 0}};
        char buffer[16384];
        while (watch[0].fd >= 0 || watch[1].fd >= 0) {
            if (::poll(watch, 2, -1) < 0 && errno != EINTR)
                break;
            for (pollfd& one : watch) {
                if (one.fd < 0 || one.revents == 0)
                    continue;
                const ssize_t count = ::read(one.fd, buffer, sizeof buffer);
                if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN))
                    one.fd = -1;
            }
        }
        ::close(output);
        ::close(error);
        int ignored = 0;
        while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
        }
        g_spawn_close_pid(pid);
    }).detach();
}

// A waited program leads a process group of its own, so that killing it
// takes along what it started (a shell's children).
void becomeGroupLeader(gpointer) {
    ::setpgid(0, 0);
}

void killAndReap(GPid pid, int& status) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

std::optional<int> exitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return std::nullopt;
}

} // namespace

ProcessResult SpawnProcessRunner::run(const ProcessRequest& request) {
    ProcessResult result;
    if (request.program.isEmpty()) {
        result.launchError = QStringLiteral("No program given");
        return result;
    }
    std::vector<char*> argv = argumentVector(request);
    GStrvPtr envp = environmentFor(request);
    const char* workingDirectory =
        request.workingDirectory ? request.workingDirectory->constData() : nullptr;
    GErrorOut spawnError;

    if (!request.waitForExit) {
        const auto flags = GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                       G_SPAWN_STDERR_TO_DEV_NULL);
        if (!g_spawn_async(workingDirectory, argv.data(), envp.get(), flags, nullptr, nullptr,
                           nullptr, spawnError))
            result.launchError = spawnError.message(notStarted);
        return result;
    }

    const auto flags =
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_CLOEXEC_PIPES);
    GPid pid = 0;
    int output = -1, error = -1;
    if (!g_spawn_async_with_pipes(workingDirectory, argv.data(), envp.get(), flags,
                                  becomeGroupLeader, nullptr, &pid, nullptr, &output, &error,
                                  spawnError)) {
        result.launchError = spawnError.message(notStarted);
        return result;
    }
    for (const int fd : {output, error})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

    const bool bounded = request.timeout.has_value();
    const Clock::time_point deadline =
        Clock::now() + request.timeout.value_or(std::chrono::milliseconds(0));
    bool outputOpen = true, errorOpen = true;
    bool leftRunning = false;
    int status = 0;
    for (;;) {
        if (outputOpen)
            outputOpen = readAvailable(output, result.standardOutput);
        if (errorOpen) {
            errorOpen = readAvailable(error, result.standardError);
            keepTail(result.standardError);
        }
        if (request.outputLimit && result.standardOutput.size() > *request.outputLimit) {
            result.outputLimitExceeded = true;
            result.standardOutput.clear();
            killAndReap(pid, status);
            break;
        }
        const pid_t waited = ::waitpid(pid, &status, WNOHANG);
        if (waited == pid || (waited < 0 && errno != EINTR)) {
            // Whatever it wrote before exiting is still in the pipe.
            if (outputOpen)
                readAvailable(output, result.standardOutput);
            if (errorOpen)
                readAvailable(error, result.standardError);
            keepTail(result.standardError);
            if (waited == pid)
                result.exitCode = exitCodeOf(status);
            break;
        }
        if (bounded && Clock::now() >= deadline) {
            result.timedOut = true;
            if (request.killOnTimeout) {
                killAndReap(pid, status);
            } else {
                drainAndReapInBackground(pid, output, error);
                leftRunning = true;
            }
            break;
        }
        // Wake on output, or every few milliseconds to look for the exit (a
        // program can exit while a child of its own keeps the pipes open).
        pollfd watch[2] = {{outputOpen ? output : -1, POLLIN, 0},
                           {errorOpen ? error : -1, POLLIN, 0}};
        ::poll(watch, 2, 5);
    }
    if (request.outputLimit && result.standardOutput.size() > *request.outputLimit) {
        result.outputLimitExceeded = true;
        result.standardOutput.clear();
    }
    if (!leftRunning) {
        ::close(output);
        ::close(error);
        g_spawn_close_pid(pid);
    }
    return result;
}
