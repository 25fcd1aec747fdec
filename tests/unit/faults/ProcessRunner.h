#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <sys/types.h>

// Starts programs with arguments and environment given as raw bytes: file
// names that are not UTF-8 cannot pass through QProcess, which takes text.
namespace ProcessRunner {
struct Options {
    QByteArray workingFolder;
    // Variables to set ("NAME=value") and names to remove from the environment.
    QList<QByteArray> set;
    QList<QByteArray> unset;
};
// The new process's id, or -1.
pid_t start(const QByteArray& program, const QList<QByteArray>& arguments, const Options& options);
// The exit status, or none when the process was still running after `ms`
// (or ended by a signal).
std::optional<int> waitFor(pid_t pid, int ms);
bool isRunning(pid_t pid);
} // namespace ProcessRunner
