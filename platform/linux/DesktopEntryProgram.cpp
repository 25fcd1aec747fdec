#include "platform/linux/DesktopEntryProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
bool isLauncherWithHiddenProgram(const QString& name, const QStringList& rest) {
    static const QStringList shells = {QStringLiteral("sh"), QStringLiteral("bash"),
                                       QStringLiteral("dash"), QStringLiteral("zsh")};
    if (name == QLatin1String("flatpak") || name == QLatin1String("snap"))
        return true;
    return shells.contains(name) && rest.contains(QStringLiteral("-c"));
}
} // namespace

std::optional<QString> DesktopEntryProgram::programFromArguments(const QStringList& arguments) {
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
    if (program.isEmpty() || program.startsWith(QLatin1Char('%')))
        return std::nullopt;
    if (isLauncherWithHiddenProgram(QFileInfo(program).fileName(), arguments.mid(index + 1)))
        return std::nullopt;
    return program;
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
