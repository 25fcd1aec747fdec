#pragma once

#include "core/platform/ProcessRunner.h"

// Starts programs with GLib's spawn functions rather than QProcess: those take
// argv and the environment as bytes, so names that are not valid UTF-8 reach
// the program unchanged, and they report a failed exec with the system's
// reason. A run without a wait is double-forked, so it is never left as a
// zombie and outlives Corvanta.
class SpawnProcessRunner : public ProcessRunner {
public:
    ProcessResult run(const ProcessRequest& request) override;
};
