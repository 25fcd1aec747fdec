#pragma once

#include <QStringList>

// The `corvanta` command line: dispatches to the sub-commands.
// `arguments` excludes the program name.
int runCommandLine(int argc, char** argv);
