#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program a desktop entry starts, from its Exec arguments: what a running
// process's executable is compared with.
namespace DesktopEntryProgram {
// The program word of an Exec line already split into arguments: "env" with its
// variable settings is looked through; launchers whose real program cannot be
// seen from the line (flatpak, shells with -c) give none.
std::optional<QString> programFromArguments(const QStringList& arguments);

// `program` as an absolute path with symbolic links resolved: a bare name is
// looked up in `searchPath` (PATH syntax). None when no such executable exists.
std::optional<QString> resolveProgram(const QString& program, const QString& searchPath);
} // namespace DesktopEntryProgram
