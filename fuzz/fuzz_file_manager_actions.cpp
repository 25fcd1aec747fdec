// The readers of file-manager action files (KDE service menus, Nemo actions,
// Thunar's uca.xml) and the command lines inside them: all of it comes from
// files anyone can drop into the user's folders.
//
// The first byte picks the reader; the rest is the file.
// Properties: a reader either returns actions that all name the file, or the
// single unreadable entry named after it, never both; ids within a file are
// distinct; every command line that splits expands to runs whose program is
// not empty, and a lone %F gives each file as exactly one argument; Thunar's
// shell line gives each file as one quoted word (a value that comes out
// unquoted is a crash), and quoting reads back as the bytes quoted.
#include "core/fileactions/KdeServiceMenuFile.h"
#include "core/fileactions/NemoActionFile.h"
#include "core/fileactions/ThunarActionsFile.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "core/utilities/ExecCommandLine.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdlib>

namespace {
void check(bool condition) {
    if (!condition)
        std::abort();
}

const QList<QUrl> files = {LocalFileURL::fromNativePath("/tmp/a b"),
                           LocalFileURL::fromNativePath("/tmp/-\xff$(x)")};

// What /bin/sh reads back from one word of single-quoted pieces joined by \'.
QByteArray unquoted(const QByteArray& word) {
    QByteArray value;
    qsizetype i = 0;
    for (;;) {
        check(i < word.size() && word.at(i) == '\'');
        const qsizetype end = word.indexOf('\'', i + 1);
        check(end > i);
        value += word.mid(i + 1, end - i - 1);
        i = end + 1;
        if (i == word.size())
            return value;
        check(word.mid(i, 2) == "\\'");
        value += '\'';
        i += 2;
    }
}

void checkShellLine(const QString& line) {
    using ActionCommandLine::shellQuote;
    const ExecCommandLine::Context context{files, "n", "/k", "i"};
    const auto shell =
        ActionCommandLine::shellLine(ExecCommandLine::Dialect::thunar, line, files, context);
    if (!shell || line.endsWith(QLatin1Char('\\')) || line.endsWith(QLatin1Char('%')))
        return;
    // Whatever came before, a %F outside quotes adds each file as one quoted word.
    const auto withFiles = ActionCommandLine::shellLine(
        ExecCommandLine::Dialect::thunar, line + QStringLiteral(" %F"), files, context);
    if (withFiles) {
        const QByteArray tail = " " + shellQuote(LocalFileURL::nativePath(files[0])) + " " +
                                shellQuote(LocalFileURL::nativePath(files[1]));
        check(withFiles->endsWith(tail));
    }
}

void checkCommand(const QString& line, ExecCommandLine::Dialect dialect) {
    const auto command = ExecCommandLine::parse(line);
    if (!command)
        return;
    for (const auto& argv : command->expand(dialect, {files, "n", "/k", "i"}))
        check(!argv.isEmpty() && !argv.first().isEmpty());
    // Appending a lone %F hands over each path whole, at the end (unless a
    // trailing backslash joins it to the last argument).
    if (line.endsWith(QLatin1Char('\\')))
        return;
    if (const auto withFiles = ExecCommandLine::parse(line + QStringLiteral(" %F"))) {
        for (const auto& argv : withFiles->expand(dialect, {files, "n", "/k", "i"})) {
            check(argv.size() >= 3);
            check(argv[argv.size() - 2] == "/tmp/a b" && argv.last() == "/tmp/-\xff$(x)");
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1,
                           static_cast<qsizetype>(size - 1));
    const QString path = QStringLiteral("/x/actions/sample.file");
    const QStringList languages = {QStringLiteral("de_DE"), QStringLiteral("sr@latin")};
    QList<FileManagerAction> actions;
    ExecCommandLine::Dialect dialect = ExecCommandLine::Dialect::desktopEntry;
    switch (data[0] % 4) {
    case 0:
        actions = KdeServiceMenuFile::read(path, input, languages);
        break;
    case 1:
        actions = NemoActionFile::read(path, input, languages);
        dialect = ExecCommandLine::Dialect::nemo;
        break;
    case 2:
        actions = ThunarActionsFile::read(path, input, languages);
        dialect = ExecCommandLine::Dialect::thunar;
        break;
    default:
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::desktopEntry);
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::thunar);
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::nemo);
        checkShellLine(QString::fromUtf8(input));
        check(unquoted(ActionCommandLine::shellQuote(input)) == input);
        return 0;
    }

    QSet<QString> ids;
    for (const FileManagerAction& action : actions) {
        check(action.filePath == path);
        if (action.unreadable) {
            check(actions.size() == 1);
            check(action.name == QStringLiteral("sample.file") && !action.exec);
        }
        check(!ids.contains(action.id()));
        ids.insert(action.id());
        if (action.exec) {
            checkCommand(*action.exec, dialect);
            const auto plan =
                ActionCommandLine::plan(dialect, *action.exec, {files, "n", "/k", "i"});
            check(!plan.unsafe || plan.runs.isEmpty());
            if (dialect == ExecCommandLine::Dialect::thunar) {
                checkShellLine(*action.exec);
                for (const auto& argv : plan.runs)
                    check(argv.size() == 3 && argv.first() == "/bin/sh");
            }
        }
    }
    return 0;
}
