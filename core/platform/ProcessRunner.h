#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <chrono>
#include <optional>
#include <utility>

// One program to start. Arguments and environment values are bytes, because
// file names on Linux are bytes: a path that is not valid UTF-8 reaches the
// program unchanged. Nothing goes through a shell.
struct ProcessRequest {
    ProcessRequest() = default;
    ProcessRequest(QByteArray program, QList<QByteArray> arguments = {})
        : program(std::move(program))
        , arguments(std::move(arguments)) {}

    // An absolute path, or a bare name looked up in PATH.
    QByteArray program;
    // Each element is exactly one argument (argv[1], argv[2], ...).
    QList<QByteArray> arguments;
    // Set in the child on top of the inherited environment (a name given twice:
    // the last value wins).
    QList<std::pair<QByteArray, QByteArray>> environment;
    // Without a wait the call returns once the program has started (or failed
    // to); its exit is not observed and its output goes nowhere.
    bool waitForExit = false;
    // With a wait: the bound; none waits for as long as it takes.
    std::optional<std::chrono::milliseconds> timeout;
    // With a wait that runs out: kill the program and everything it started
    // (a waited program runs in a process group of its own), or leave it running.
    bool killOnTimeout = true;
    // With a wait: more standard output than this many bytes kills the program
    // like a time-out does.
    std::optional<qsizetype> outputLimit;
    std::optional<QByteArray> workingDirectory;

    // Text as the file system would encode it (for arguments that are not paths).
    static QByteArray encode(const QString& text) { return QFile::encodeName(text); }
    bool operator==(const ProcessRequest&) const = default;
};

struct ProcessResult {
    // Why the program could not be started (the system's description); none
    // when it started.
    std::optional<QString> launchError;
    // The wait ran out before the program exited.
    bool timedOut = false;
    // It printed more than the request's limit and was killed.
    bool outputLimitExceeded = false;
    // Exit code of a program that was waited for and exited on its own.
    std::optional<int> exitCode;
    // Everything it wrote to standard output, when it was waited for (empty
    // past the limit).
    QByteArray standardOutput;
    // The end of what it wrote to standard error (its last 64 KiB), when it
    // was waited for.
    QByteArray standardError;

    bool started() const { return !launchError.has_value(); }
    // Started, exited on its own with code 0.
    bool succeeded() const {
        return started() && !timedOut && !outputLimitExceeded && exitCode == 0;
    }
    bool operator==(const ProcessResult&) const = default;
};

// Starts programs. Called on the main thread; a waited run blocks it for at
// most the request's bound.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    virtual ProcessResult run(const ProcessRequest& request) = 0;
};
