// The editor of the open-latency benchmark: appends the moment it started
// (CLOCK_MONOTONIC, nanoseconds) to the file named by OPEN_LATENCY_STAMPS.
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = std::getenv("OPEN_LATENCY_STAMPS");
    if (!path)
        return 1;
    FILE* file = std::fopen(path, "a");
    if (!file)
        return 1;
    std::fprintf(file, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fclose(file);
    return 0;
}
