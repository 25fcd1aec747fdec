#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// A command line of a desktop entry action or a Nemo action, split into
// arguments and with its field codes expanded. Each file name becomes its own
// argument, byte for byte; nothing is handed to a shell here, so quotes,
// "$(...)" or a leading dash in a name stay plain text. (Lines that a file
// manager runs through a shell are built by ActionCommandLine.)
class ExecCommandLine {
public:
    // The field codes differ between the file managers.
    enum class Dialect { desktopEntry, thunar, nemo };

    // None when the line cannot be split (an unterminated quote) or is empty.
    static std::optional<ExecCommandLine> parse(const QString& line);

    struct Context {
        QList<QUrl> files;
        QString name;         // %c
        QByteArray entryPath; // %k
        QString icon;         // %i
    };
    // The argument vectors to run, program first: one run, or one per file
    // when the line takes a single file (%f, %u ...) and several are given.
    QList<QList<QByteArray>> expand(Dialect dialect, const Context& context) const;
    // The selections the runs get: all files at once, or one file each.
    QList<QList<QUrl>> selections(Dialect dialect, const QList<QUrl>& files) const;
    // What one code stands for (one element per argument it fills alone).
    static QList<QByteArray> values(Dialect dialect, QChar code, const QList<QUrl>& files,
                                    const Context& context);

    // One piece of an argument: literal text, or a field code letter.
    struct Piece {
        QString text;
        QChar code;
        // The code was written inside quotes.
        bool quoted = false;
        bool operator==(const Piece&) const = default;
    };
    using Argument = QList<Piece>;
    const QList<Argument>& arguments() const { return m_arguments; }

private:
    QList<Argument> m_arguments;
};
