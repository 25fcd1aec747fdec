// Stands in for an editor in integration tests: appends the arguments it was
// started with to the file named by CORVANTA_RECORDER_OUT, one record per run
// (every argument followed by a NUL byte, the record ended by a newline), so
// the bytes an application received can be compared exactly. With
// CORVANTA_RECORDER_STAY set to a path it keeps running until that path exists.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <thread>

int main(int argc, char** argv) {
    if (const char* out = std::getenv("CORVANTA_RECORDER_OUT")) {
        std::string record;
        for (int i = 1; i < argc; ++i) {
            record.append(argv[i]);
            record.push_back('\0');
        }
        record.push_back('\n');
        if (FILE* file = std::fopen(out, "ab")) {
            std::fwrite(record.data(), 1, record.size(), file);
            std::fclose(file);
        }
    }
    if (const char* stay = std::getenv("CORVANTA_RECORDER_STAY")) {
        struct stat info;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (::stat(stay, &info) != 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
