#pragma once

#include "core/platform/ProcessRunner.h"

#include <QHash>
#include <QList>
#include <functional>

// Records every run and answers from `results` by program (a started,
// successful run when the program is not listed), or from `responder` when set.
class FakeProcessRunner : public ProcessRunner {
public:
    QList<ProcessRequest> runs;
    QHash<QByteArray, ProcessResult> results;
    std::function<ProcessResult(const ProcessRequest&)> responder;

    ProcessResult run(const ProcessRequest& request) override {
        runs.append(request);
        if (responder)
            return responder(request);
        auto it = results.find(request.program);
        if (it != results.end())
            return *it;
        ProcessResult started;
        if (request.waitForExit)
            started.exitCode = 0;
        return started;
    }
    // A result for a program that cannot be started.
    static ProcessResult launchFailure(const QString& reason) {
        ProcessResult failed;
        failed.launchError = reason;
        return failed;
    }
};
