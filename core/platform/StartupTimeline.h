#pragma once

// Where a start spends its time: with CORVANTA_STARTUP_TIMELINE set, each
// moment is printed to standard error the first time it is reached, as
// milliseconds since the process started (the launcher's start, which the
// full program replaces in the same process) and since the moment before.
// Unset, a mark costs one test of a flag.
namespace StartupTimeline {
// `moment` must outlive the process (a string literal).
void mark(const char* moment);
} // namespace StartupTimeline
