#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What a desktop entry starts, from its Exec arguments: the thing a running
// process is recognised by. An interpreter or a wrapper is never the answer,
// or every open shell would make each script-started editor "running".
namespace DesktopEntryProgram {
struct Target {
    enum class Kind {
        // `name` is a program (absolute, or a name looked up in PATH).
        program,
        // `name` is a script an interpreter runs; the process is the interpreter.
        script,
        // `name` is a snap; its processes run from the snap's own folder.
        snap,
        // `name` is a Flatpak application ID.
        flatpak,
    };
    Kind kind = Kind::program;
    QString name;
    bool operator==(const Target&) const = default;
};

// The target of an Exec line already split into arguments. "env" with its
// settings is looked through, an interpreter gives the script it runs, "flatpak
// run" and "snap run" (or `snapRoot`/bin/NAME) give the sandboxed application.
// None where the real program cannot be seen (inline code such as "sh -c",
// launchers that look the program up elsewhere).
std::optional<Target> targetFromArguments(const QStringList& arguments,
                                          const QString& snapRoot = QStringLiteral("/snap"));

// True for the file name of a program that runs scripts (sh, bash, python3, ...).
bool isInterpreter(const QString& fileName);

// The script a running interpreter executes, from its arguments (argv[0]
// first): the first argument after the interpreter's options. None when the
// code is inline (-c, -e, -m) or no script is named.
std::optional<QString> scriptOfInterpreter(const QStringList& arguments);

// The snap a process's executable belongs to ("/snap/NAME/REVISION/..."); none
// for any other path.
std::optional<QString> snapOfExecutable(const QString& executable,
                                        const QString& snapRoot = QStringLiteral("/snap"));

// `program` as an absolute path with symbolic links resolved: a bare name is
// looked up in `searchPath` (PATH syntax). None when no such executable exists.
std::optional<QString> resolveProgram(const QString& program, const QString& searchPath);
// A script named by an Exec line or a process, with links resolved: it need not
// be executable, and a bare name is looked up in `searchPath` as the shells do.
std::optional<QString> resolveScript(const QString& script, const QString& searchPath);
} // namespace DesktopEntryProgram
