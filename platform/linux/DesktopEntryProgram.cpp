#include "platform/linux/DesktopEntryProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
using Target = DesktopEntryProgram::Target;

// Programs that start another one found elsewhere (by desktop ID, by type):
// what they start cannot be read from the line.
bool isIndirectLauncher(const QString& name) {
    static const QStringList launchers = {
        QStringLiteral("gtk-launch"), QStringLiteral("gtk4-launch"), QStringLiteral("xdg-open"),
        QStringLiteral("gio"),        QStringLiteral("kioclient"),   QStringLiteral("kioclient5"),
        QStringLiteral("kde-open"),   QStringLiteral("kde-open5"),   QStringLiteral("exo-open"),
        QStringLiteral("dbus-send"),  QStringLiteral("gdbus"),       QStringLiteral("busctl")};
    return launchers.contains(name);
}

// Options that hand the interpreter its code inline instead of in a file.
bool isInlineCodeOption(const QString& word) {
    return word == QLatin1String("-c") || word == QLatin1String("-e") ||
           word == QLatin1String("-E") || word == QLatin1String("-m") ||
           word == QLatin1String("--command") || word == QLatin1String("--eval");
}

// The first word after the options, from `index` on; none when an option
// carries the code itself.
std::optional<QString> firstOperand(const QStringList& arguments, qsizetype index) {
    for (; index < arguments.size(); ++index) {
        const QString& word = arguments.at(index);
        if (word == QLatin1String("--"))
            return index + 1 < arguments.size() ? std::optional(arguments.at(index + 1))
                                                : std::nullopt;
        if (isInlineCodeOption(word))
            return std::nullopt;
        if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("-"))
            return word == QLatin1String("-") ? std::nullopt : std::optional(word);
    }
    return std::nullopt;
}

bool isFieldCode(const QString& word) {
    return word.startsWith(QLatin1Char('%'));
}

// "flatpak run [options] APP" and "snap run [options] NAME".
std::optional<QString> runOperand(const QStringList& arguments, qsizetype index) {
    if (index >= arguments.size() || arguments.at(index) != QLatin1String("run"))
        return std::nullopt;
    const std::optional<QString> operand = firstOperand(arguments, index + 1);
    if (!operand || isFieldCode(*operand))
        return std::nullopt;
    return operand;
}

QString snapName(const QString& command) {
    // A snap's commands are NAME or NAME.COMMAND.
    return command.section(QLatin1Char('.'), 0, 0);
}
} // namespace

bool DesktopEntryProgram::isInterpreter(const QString& fileName) {
    static const QRegularExpression names(
        QStringLiteral("^(sh|bash|dash|zsh|ksh|mksh|fish|python[0-9.]*|pypy[0-9.]*|perl[0-9.]*|"
                       "ruby[0-9.]*|node|nodejs|gjs|lua[0-9.]*|luajit|php[0-9.]*|tclsh[0-9.]*|"
                       "wish[0-9.]*|Rscript|osascript|pwsh)$"));
    return names.match(fileName).hasMatch();
}

std::optional<Target> DesktopEntryProgram::targetFromArguments(const QStringList& arguments,
                                                               const QString& snapRoot) {
    qsizetype index = 0;
    if (index < arguments.size() &&
        QFileInfo(arguments.at(index)).fileName() == QLatin1String("env")) {
        ++index;
        // env's own options and the variables it sets come before the program.
        while (index < arguments.size()) {
            const QString& word = arguments.at(index);
            if (word == QLatin1String("-S") || word.startsWith(QLatin1String("--split-string")))
                return std::nullopt;
            if (word == QLatin1String("-u") || word == QLatin1String("-C"))
                index += 2;
            else if (word.startsWith(QLatin1Char('-')) || word.contains(QLatin1Char('=')))
                ++index;
            else
                break;
        }
    }
    if (index >= arguments.size())
        return std::nullopt;
    const QString program = arguments.at(index);
    if (program.isEmpty() || isFieldCode(program))
        return std::nullopt;
    const QString name = QFileInfo(program).fileName();

    if (name == QLatin1String("flatpak")) {
        const auto application = runOperand(arguments, index + 1);
        if (!application)
            return std::nullopt;
        // "APP//BRANCH" names a branch of the same application.
        return Target{Target::Kind::flatpak, application->section(QLatin1String("//"), 0, 0)};
    }
    if (name == QLatin1String("snap")) {
        const auto command = runOperand(arguments, index + 1);
        if (!command)
            return std::nullopt;
        return Target{Target::Kind::snap, snapName(*command)};
    }
    // /snap/bin/NAME is a link to the snap launcher, never the program that runs.
    const QString snapBin = QDir::cleanPath(snapRoot) + QStringLiteral("/bin/");
    if (QDir::cleanPath(program).startsWith(snapBin))
        return Target{Target::Kind::snap, snapName(name)};
    if (isIndirectLauncher(name))
        return std::nullopt;
    if (isInterpreter(name)) {
        const auto script = firstOperand(arguments, index + 1);
        if (!script || isFieldCode(*script))
            return std::nullopt;
        return Target{Target::Kind::script, *script};
    }
    return Target{Target::Kind::program, program};
}

std::optional<QString> DesktopEntryProgram::scriptOfInterpreter(const QStringList& arguments) {
    if (arguments.size() < 2)
        return std::nullopt;
    return firstOperand(arguments, 1);
}

std::optional<QString> DesktopEntryProgram::snapOfExecutable(const QString& executable,
                                                             const QString& snapRoot) {
    const QString prefix = QDir::cleanPath(snapRoot) + QLatin1Char('/');
    if (!executable.startsWith(prefix))
        return std::nullopt;
    const QString name = executable.mid(prefix.size()).section(QLatin1Char('/'), 0, 0);
    // The launcher's own folder, not a snap.
    if (name.isEmpty() || name == QLatin1String("bin") ||
        executable.mid(prefix.size()).count(QLatin1Char('/')) < 2)
        return std::nullopt;
    return name;
}

std::optional<QString> DesktopEntryProgram::resolveProgram(const QString& program,
                                                           const QString& searchPath) {
    if (program.isEmpty())
        return std::nullopt;
    QString found;
    if (program.contains(QLatin1Char('/'))) {
        if (!QDir::isAbsolutePath(program))
            return std::nullopt;
        found = program;
    } else {
        const QStringList folders = searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        found = QStandardPaths::findExecutable(program, folders);
    }
    if (found.isEmpty())
        return std::nullopt;
    const QFileInfo info(found);
    if (!info.isFile() || !info.isExecutable())
        return std::nullopt;
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return canonical;
}

std::optional<QString> DesktopEntryProgram::resolveScript(const QString& script,
                                                          const QString& searchPath) {
    if (script.isEmpty())
        return std::nullopt;
    if (!script.contains(QLatin1Char('/')))
        return resolveProgram(script, searchPath);
    if (!QDir::isAbsolutePath(script))
        return std::nullopt;
    const QFileInfo info(script);
    if (!info.isFile())
        return std::nullopt;
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return canonical;
}
