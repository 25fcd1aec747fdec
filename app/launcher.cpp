#include "app/EarlyHandOff.h"
#include "core/platform/StartupTimeline.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

// `corvanta`: most starts hand a request to the running instance, so this
// program loads only what that takes; any other start becomes the full
// program with the same arguments, environment and process.
int main(int argc, char** argv) {
    StartupTimeline::mark("launcher");
    if (EarlyHandOff::handOver(argc, argv))
        return 0;
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "corvanta: cannot find its own program: %s\n", std::strerror(errno));
        return 127;
    }
    const std::string path(self, std::size_t(length));
    const std::string program = path.substr(0, path.rfind('/') + 1) + CORVANTA_FULL_PROGRAM;
    StartupTimeline::mark("launcher found no instance");
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "corvanta: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
