#include "core/utilities/ActionCommandLine.h"

#include <QFile>

namespace {

using Dialect = ExecCommandLine::Dialect;

QByteArray shellProgram() {
    return QByteArrayLiteral("/bin/sh");
}

// Thunar takes the character after any "%" as a code (an unknown one stands
// for nothing); the desktop-entry dialects only letters.
bool isFieldCode(Dialect dialect, const QString& line, qsizetype i) {
    if (line.at(i) != QLatin1Char('%') || i + 1 >= line.size())
        return false;
    const QChar next = line.at(i + 1);
    return dialect == Dialect::thunar || next.isLetter() || next == QLatin1Char('%');
}

// Programs that read an argument as a command line of their own, and the
// options that hand one to a terminal or a shell.
bool readsCommands(const QString& word) {
    static const QStringList shells = {QStringLiteral("sh"),   QStringLiteral("bash"),
                                       QStringLiteral("dash"), QStringLiteral("zsh"),
                                       QStringLiteral("ksh"),  QStringLiteral("mksh"),
                                       QStringLiteral("fish"), QStringLiteral("csh"),
                                       QStringLiteral("tcsh"), QStringLiteral("busybox")};
    static const QStringList options = {QStringLiteral("-c"), QStringLiteral("-e"),
                                        QStringLiteral("-x"), QStringLiteral("--command"),
                                        QStringLiteral("--exec")};
    return shells.contains(word.section(QLatin1Char('/'), -1)) || options.contains(word);
}

QString literalText(const ExecCommandLine::Argument& argument) {
    QString text;
    for (const ExecCommandLine::Piece& piece : argument)
        text += piece.code.isNull() ? piece.text : QStringLiteral("%") + piece.code;
    return text;
}

// Nemo puts a quoted code's value inside the quotes as it is; that is one
// argument, unless an earlier word is a shell or hands the argument to one.
bool quotedCodeReachesShell(const ExecCommandLine& command, Dialect dialect) {
    bool shellSeen = false;
    for (const ExecCommandLine::Argument& argument : command.arguments()) {
        for (const ExecCommandLine::Piece& piece : argument) {
            if (piece.quoted && (dialect != Dialect::nemo || shellSeen))
                return true;
        }
        shellSeen = shellSeen || readsCommands(literalText(argument));
    }
    return false;
}

} // namespace

namespace ActionCommandLine {

QByteArray shellQuote(const QByteArray& value) {
    QByteArray quoted = "'";
    for (const char c : value) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + '\'';
}

std::optional<QByteArray> shellLine(Dialect dialect, const QString& line, const QList<QUrl>& files,
                                    const ExecCommandLine::Context& context) {
    QByteArray result;
    QString text; // literal text not yet encoded
    QChar quote;
    bool escaped = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (isFieldCode(dialect, line, i)) {
            const QChar code = line.at(++i);
            if (code == QLatin1Char('%')) {
                text += c;
                escaped = false;
                continue;
            }
            // Quoting a file's value there would not keep it one word.
            if ((!quote.isNull() || escaped) && QStringLiteral("fFuUdDnN").contains(code))
                return std::nullopt;
            escaped = false;
            result += QFile::encodeName(text);
            text.clear();
            QList<QByteArray> quoted;
            for (const QByteArray& value : ExecCommandLine::values(dialect, code, files, context))
                quoted.append(shellQuote(value));
            result += quoted.join(' ');
            continue;
        }
        text += c;
        if (escaped) {
            escaped = false;
        } else if (c == QLatin1Char('\\') && quote != QLatin1Char('\'')) {
            escaped = true;
        } else if (quote.isNull() && (c == QLatin1Char('\'') || c == QLatin1Char('"'))) {
            quote = c;
        } else if (c == quote) {
            quote = QChar();
        }
    }
    return result + QFile::encodeName(text);
}

bool hasShellSyntax(const QString& line) {
    static const QString meta = QStringLiteral("|&;<>()$`\n");
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quote == QLatin1Char('\'')) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (quote == QLatin1Char('"')) {
            if (c == quote)
                quote = QChar();
            else if (c == QLatin1Char('$') || c == QLatin1Char('`'))
                return true;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (meta.contains(c)) {
            return true;
        }
    }
    return false;
}

Plan plan(Dialect dialect, const QString& line, const ExecCommandLine::Context& context) {
    const auto command = ExecCommandLine::parse(line);
    if (!command)
        return {};
    // The program is literal text: a field code there would run a selected file.
    for (const ExecCommandLine::Piece& piece : command->arguments().first())
        if (!piece.code.isNull())
            return {};
    Plan plan;
    if (dialect == Dialect::thunar || (dialect == Dialect::desktopEntry && hasShellSyntax(line))) {
        const QList<QList<QUrl>> selections = dialect == Dialect::thunar
                                                  ? QList<QList<QUrl>>{context.files}
                                                  : command->selections(dialect, context.files);
        for (const QList<QUrl>& files : selections) {
            const auto shell = shellLine(dialect, line, files, context);
            if (!shell)
                return {{}, true};
            plan.runs.append({shellProgram(), "-c", *shell});
        }
        return plan;
    }
    if (quotedCodeReachesShell(*command, dialect))
        return {{}, true};
    plan.runs = command->expand(dialect, context);
    return plan;
}

} // namespace ActionCommandLine
