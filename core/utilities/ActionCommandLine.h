#pragma once

#include "core/utilities/ExecCommandLine.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What running a file manager's action line starts, as that file manager
// starts it: Thunar hands the whole line to /bin/sh with every value
// shell-quoted; KIO does the same for a line with shell syntax and otherwise
// splits it into arguments; Nemo splits it into arguments. A line whose field
// code sits where the file manager's rule could turn a file name into a
// command (inside a quoted string read by a shell) is refused.
namespace ActionCommandLine {

struct Plan {
    // The argument vectors to run, program first; none for a line that
    // names no program.
    QList<QList<QByteArray>> runs;
    // Refused: a file name could run as a command. Nothing runs.
    bool unsafe = false;
};

Plan plan(ExecCommandLine::Dialect dialect, const QString& line,
          const ExecCommandLine::Context& context);

// As g_shell_quote quotes: one single-quoted word that /bin/sh reads back
// byte for byte.
QByteArray shellQuote(const QByteArray& value);

// The line for `/bin/sh -c` with each field code replaced by its values, each
// quoted and separated by spaces; none when a code sits inside quotes or
// after a backslash, where quoting it would not keep it one word.
std::optional<QByteArray> shellLine(ExecCommandLine::Dialect dialect, const QString& line,
                                    const QList<QUrl>& files,
                                    const ExecCommandLine::Context& context);

// Whether /bin/sh would read more than words in the line (KIO then runs it
// through the shell): pipes, redirections, lists, substitutions, variables.
bool hasShellSyntax(const QString& line);

} // namespace ActionCommandLine
