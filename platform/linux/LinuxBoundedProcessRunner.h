#pragma once

#include "core/selection/BoundedProcessRunner.h"

// QProcess in a process group of its own, so that a time-out kills the helper
// and whatever it started (a shell's `sleep`, a stuck `xclip`), not only the shell.
class LinuxBoundedProcessRunner : public BoundedProcessRunner {
public:
    Result run(const QString& program, const QStringList& arguments, int timeoutMs,
               qsizetype outputLimit) override;
};
