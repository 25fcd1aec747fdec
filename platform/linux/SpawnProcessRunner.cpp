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
    GError* rawError = nullptr;

    if (!request.waitForExit) {
        const auto flags = GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                       G_SPAWN_STDERR_TO_DEV_NULL);
        if (!g_spawn_async(workingDirectory, argv.data(), envp.get(), flags, nullptr, nullptr,
                           nullptr, &rawError)) {
            GErrorPtr error(rawError);
            result.launchError = qStringFromUtf8(error->message);
        }
        return result;
    }

    const auto flags = GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                                   G_SPAWN_STDERR_TO_DEV_NULL | G_SPAWN_CLOEXEC_PIPES);
    GPid pid = 0;
    int output = -1;
    if (!g_spawn_async_with_pipes(workingDirectory, argv.data(), envp.get(), flags,
                                  becomeGroupLeader, nullptr, &pid, nullptr, &output, nullptr,
                                  &rawError)) {
        GErrorPtr error(rawError);
        result.launchError = qStringFromUtf8(error->message);
        return result;
    }
    ::fcntl(output, F_SETFL, ::fcntl(output, F_GETFL) | O_NONBLOCK);

    const std::optional<Clock::time_point> deadline =
        request.timeout ? std::optional(Clock::now() + *request.timeout) : std::nullopt;
    bool outputOpen = true;
    int status = 0;
    for (;;) {
        if (outputOpen)
            outputOpen = readAvailable(output, result.standardOutput);
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
            if (waited == pid)
                result.exitCode = exitCodeOf(status);
            break;
        }
        if (deadline && Clock::now() >= *deadline) {
            result.timedOut = true;
            if (request.killOnTimeout) {
                killAndReap(pid, status);
            } else {
                // Left running, but still reaped when it ends.
                std::thread([pid] {
                    int ignored = 0;
                    while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
                    }
                }).detach();
            }
            break;
        }
        // Wake on output, or every few milliseconds to look for the exit (a
        // program can exit while a child of its own keeps the pipe open).
        pollfd watch{output, POLLIN, 0};
        ::poll(&watch, outputOpen ? 1 : 0, 5);
    }
    if (request.outputLimit && result.standardOutput.size() > *request.outputLimit) {
        result.outputLimitExceeded = true;
        result.standardOutput.clear();
    }
    ::close(output);
    g_spawn_close_pid(pid);
    return result;
}
