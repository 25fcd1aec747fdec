// The readers of file-manager action files (KDE service menus, Nemo actions,
// Thunar's uca.xml) and the command lines inside them: all of it comes from
// files anyone can drop into the user's folders.
//
// The first byte picks the reader; the rest is the file.
// Properties: a reader either returns actions that all name the file, or the
// single unreadable entry named after it, never both; ids within a file are
// distinct; every command line that splits expands to runs whose program is
// not empty, and a lone %F gives each file as exactly one argument.
#include "core/model/LocalFileURL.h"
#include "core/utilities/ExecCommandLine.h"
#include "core/utilities/FileManagerActions.h"

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
        actions = FileManagerActions::readServiceMenu(path, input, languages);
        break;
    case 1:
        actions = FileManagerActions::readNemoAction(path, input, languages);
        dialect = ExecCommandLine::Dialect::nemo;
        break;
    case 2:
        actions = FileManagerActions::readThunarActions(path, input, languages);
        dialect = ExecCommandLine::Dialect::thunar;
        break;
    default:
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::desktopEntry);
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::thunar);
        checkCommand(QString::fromUtf8(input), ExecCommandLine::Dialect::nemo);
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
        if (action.exec)
            checkCommand(*action.exec, dialect);
    }
    return 0;
}
