#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs a program to its end within a time bound and returns what it printed.
class BoundedProcessRunner {
public:
    struct Result {
        enum class Status {
            // Ran to its end; `exitCode` says how.
            exited,
            // Killed by a signal it did not catch.
            crashed,
            failedToStart,
            // Still running at the bound; it and everything it started were killed.
            timedOut,
            // Printed more than the limit; killed like a time-out.
            tooMuchOutput,
        };
        Status status = Status::failedToStart;
        int exitCode = -1;
        QByteArray standardOutput;
        bool succeeded() const { return status == Status::exited && exitCode == 0; }
    };

    virtual ~BoundedProcessRunner() = default;
    // Standard input is empty; standard error goes where ours goes.
    virtual Result run(const QString& program, const QStringList& arguments, int timeoutMs,
                       qsizetype outputLimit) = 0;
};
