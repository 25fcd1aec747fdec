#include "app/CommandLine.h"
#include "core/platform/StartupTimeline.h"

int main(int argc, char** argv) {
    StartupTimeline::mark("full program");
    return runCommandLine(argc, argv);
}
