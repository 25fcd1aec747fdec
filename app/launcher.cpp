#include "app/BusActivatedStart.h"
#include "app/ColdOpen.h"
#include "app/EarlyHandOff.h"
#include "core/model/LocalFileURL.h"
#include "core/platform/StartupTimeline.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// The full program's arguments once the launcher opened `files` and left
// `left`: the same as the launcher's when it opened nothing.
std::vector<QByteArray> fullProgramArguments(int argc, char** argv, const QList<QUrl>& files,
                                             const QList<QUrl>& left) {
    std::vector<QByteArray> arguments(argv, argv + argc);
    if (left == files)
        return arguments;
    arguments.resize(1);
    if (left.isEmpty())
        arguments.emplace_back(EarlyHandOff::afterOpenOption);
    else
        arguments.emplace_back("open");
    for (const QUrl& url : left)
        arguments.push_back(LocalFileURL::nativePath(url));
    return arguments;
}
} // namespace

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
    if (argc == 2 && std::strcmp(argv[1], EarlyHandOff::busStartOption) == 0 &&
        EarlyHandOff::displayAnnounced()) {
        if (const std::optional<int> status = BusActivatedStart::serve(program, argv))
            return *status;
    }
    const QList<QUrl> files = EarlyHandOff::plainOpenFiles(argc, argv);
    // Without a display the full program opens the files and quits, no tray.
    const QList<QUrl> left = EarlyHandOff::displayAnnounced() ? ColdOpen::openFiles(files) : files;
    const std::vector<QByteArray> arguments = fullProgramArguments(argc, argv, files, left);
    std::vector<char*> pointers;
    for (const QByteArray& argument : arguments)
        pointers.push_back(const_cast<char*>(argument.constData()));
    pointers.push_back(nullptr);
    ::execv(program.c_str(), pointers.data());
    std::fprintf(stderr, "corvanta: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
