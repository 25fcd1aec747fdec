#pragma once

#include <QString>

// The program that desktop entries and file-manager actions run: the
// `corvanta` launcher, which hands requests to a running instance without
// loading the full program. When this process is the full program, that is
// the launcher of its installation; otherwise this program itself.
namespace LauncherProgram {
QString path();
} // namespace LauncherProgram
