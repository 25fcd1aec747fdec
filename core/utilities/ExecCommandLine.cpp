#include "core/utilities/ExecCommandLine.h"

#include "core/model/LocalFileURL.h"

#include <QFile>

namespace {

using Dialect = ExecCommandLine::Dialect;

bool isListCode(Dialect dialect, QChar code) {
    switch (code.unicode()) {
    case 'F':
    case 'U':
        return true;
    case 'D':
    case 'N':
        return dialect == Dialect::thunar;
    default:
        return false;
    }
}

// Codes that take one file; with several files the command runs once per file.
bool isSingleFileCode(Dialect dialect, QChar code) {
    switch (code.unicode()) {
    case 'f':
    case 'u':
        return dialect != Dialect::nemo;
    case 'd':
    case 'n':
        return dialect == Dialect::thunar;
    default:
        return false;
    }
}

QByteArray fileName(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray withoutExtension(const QByteArray& name) {
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

QList<QByteArray> ExecCommandLine::values(Dialect dialect, QChar code, const QList<QUrl>& files,
                                          const Context& context) {
    QList<QByteArray> values;
    const auto each = [&](auto convert) {
        for (const QUrl& file : files)
            values.append(convert(file));
    };
    const auto path = [](const QUrl& file) { return LocalFileURL::nativePath(file); };
    const auto uri = [](const QUrl& file) { return file.toEncoded(); };
    const auto folder = [](const QUrl& file) {
        return LocalFileURL::folderPath(LocalFileURL::nativePath(file));
    };
    const auto name = [](const QUrl& file) { return fileName(LocalFileURL::nativePath(file)); };
    const QList<QUrl> first = files.mid(0, 1);
    switch (code.unicode()) {
    case '%':
        values.append("%");
        break;
    case 'F':
        each(path);
        break;
    case 'U':
        each(uri);
        break;
    case 'f':
        if (dialect == Dialect::nemo) {
            for (const QUrl& file : first)
                values.append(name(file));
        } else {
            for (const QUrl& file : first)
                values.append(path(file));
        }
        break;
    case 'u':
        for (const QUrl& file : first)
            values.append(uri(file));
        break;
    case 'd':
        if (dialect == Dialect::thunar)
            for (const QUrl& file : first)
                values.append(folder(file));
        break;
    case 'D':
        if (dialect == Dialect::thunar)
            each(folder);
        break;
    case 'n':
        if (dialect == Dialect::thunar)
            for (const QUrl& file : first)
                values.append(name(file));
        break;
    case 'N':
        if (dialect == Dialect::thunar)
            each(name);
        else if (dialect == Dialect::nemo)
            for (const QUrl& file : first)
                values.append(name(file));
        break;
    case 'P':
        if (dialect == Dialect::nemo)
            for (const QUrl& file : first)
                values.append(folder(file));
        break;
    case 'p':
        if (dialect == Dialect::nemo)
            for (const QUrl& file : first)
                values.append(fileName(folder(file)));
        break;
    case 'e':
        if (dialect == Dialect::nemo)
            for (const QUrl& file : first)
                values.append(withoutExtension(name(file)));
        break;
    case 'c':
        if (dialect == Dialect::desktopEntry)
            values.append(context.name.toUtf8());
        break;
    case 'k':
        if (dialect == Dialect::desktopEntry)
            values.append(context.entryPath);
        break;
    case 'i':
        if (dialect == Dialect::desktopEntry && !context.icon.isEmpty())
            values << "--icon" << context.icon.toUtf8();
        break;
    default:
        // Deprecated and unknown codes expand to nothing.
        break;
    }
    return values;
}

std::optional<ExecCommandLine> ExecCommandLine::parse(const QString& line) {
    ExecCommandLine command;
    Argument current;
    bool inArgument = false;
    QChar quote; // '"' or '\'' while inside quotes
    const auto appendText = [&current](QChar c) {
        if (current.isEmpty() || !current.last().code.isNull())
            current.append({QString(), QChar()});
        current.last().text.append(c);
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quote.isNull() && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (inArgument)
                command.m_arguments.append(current);
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (quote.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            quote = c;
            continue;
        }
        if (!quote.isNull() && c == quote) {
            quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\\') && quote != QLatin1Char('\'') && i + 1 < line.size()) {
            appendText(line.at(++i));
            continue;
        }
        // A field code is a letter; "%" before anything else stays text.
        if (c == QLatin1Char('%') && i + 1 < line.size() &&
            (line.at(i + 1).isLetter() || line.at(i + 1) == QLatin1Char('%'))) {
            const QChar code = line.at(++i);
            if (code == QLatin1Char('%'))
                appendText(code);
            else
                current.append({QString(), code, !quote.isNull()});
            continue;
        }
        appendText(c);
    }
    if (!quote.isNull())
        return std::nullopt;
    if (inArgument)
        command.m_arguments.append(current);
    if (command.m_arguments.isEmpty())
        return std::nullopt;
    return command;
}

QList<QList<QByteArray>> ExecCommandLine::expand(Dialect dialect, const Context& context) const {
    // The program is literal text: a field code there would run a selected file.
    for (const Piece& piece : m_arguments.value(0))
        if (!piece.code.isNull())
            return {};
    QList<QList<QByteArray>> result;
    for (const QList<QUrl>& files : selections(dialect, context.files)) {
        QList<QByteArray> argv;
        for (const Argument& argument : m_arguments) {
            // A code standing alone fills as many arguments as it has values
            // (none at all when it has none).
            if (argument.size() == 1 && !argument.first().code.isNull()) {
                argv.append(values(dialect, argument.first().code, files, context));
                continue;
            }
            QByteArray joined;
            for (const Piece& piece : argument) {
                if (piece.code.isNull())
                    joined.append(QFile::encodeName(piece.text));
                else
                    joined.append(values(dialect, piece.code, files.mid(0, 1), context).value(0));
            }
            argv.append(joined);
        }
        if (!argv.isEmpty() && !argv.first().isEmpty())
            result.append(argv);
    }
    return result;
}

QList<QList<QUrl>> ExecCommandLine::selections(Dialect dialect, const QList<QUrl>& files) const {
    bool hasList = false, hasSingle = false;
    for (const Argument& argument : m_arguments)
        for (const Piece& piece : argument) {
            hasList = hasList || (!piece.code.isNull() && isListCode(dialect, piece.code));
            hasSingle =
                hasSingle || (!piece.code.isNull() && isSingleFileCode(dialect, piece.code));
        }
    if (!hasSingle || hasList || files.size() < 2)
        return {files};
    QList<QList<QUrl>> each;
    for (const QUrl& file : files)
        each.append({file});
    return each;
}
