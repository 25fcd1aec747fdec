#include "core/fileactions/NemoActionFile.h"

#include "core/fileactions/DesktopKeyFile.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// Quotes a folder for a command line, so that it stays one piece of text.
QString quotedForCommandLine(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\') || c == QLatin1Char('`') ||
            c == QLatin1Char('$'))
            quoted.append(QLatin1Char('\\'));
        if (c == QLatin1Char('%'))
            quoted.append(QLatin1Char('%'));
        quoted.append(c);
    }
    return quoted + QLatin1Char('"');
}

} // namespace

namespace NemoActionFile {

QString folder(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/nemo/actions");
}

QStringList files(const FileManagerActionFolders& folders) {
    QStringList paths;
    for (const QString& data : folders.dataFolders) {
        for (const QFileInfo& info : actionFilesIn(folder(data), suffix))
            paths.append(info.absoluteFilePath());
    }
    return paths;
}

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages) {
    using Source = FileManagerAction::Source;
    const auto file = DesktopKeyFile::parse(data);
    const QString group = QStringLiteral("Nemo Action");
    if (!file || !file->hasGroup(group))
        return {FileManagerAction::unreadableFile(Source::nemoAction, path)};
    if (file->boolean(group, QStringLiteral("Active")) == false)
        return {};
    auto exec = file->string(group, QStringLiteral("Exec"));
    if (!exec)
        return {FileManagerAction::unreadableFile(Source::nemoAction, path)};
    // "<program ...>": the program lies next to the action file.
    if (exec->startsWith(QLatin1Char('<')) && exec->endsWith(QLatin1Char('>')))
        *exec = quotedForCommandLine(QFileInfo(path).absolutePath() + QLatin1Char('/')) +
                exec->mid(1, exec->size() - 2);
    FileManagerAction action;
    action.source = Source::nemoAction;
    action.name = file->localeString(group, QStringLiteral("Name"), languages)
                      .value_or(file->localeString(group, QStringLiteral("_Name"), languages)
                                    .value_or(QFileInfo(path).fileName()));
    action.filePath = path;
    action.exec = exec;
    const QString selection =
        file->string(group, QStringLiteral("Selection")).value_or(QString()).toLower();
    const QStringList extensions = file->stringList(group, QStringLiteral("Extensions"));
    const bool foldersOnly =
        (!extensions.isEmpty() && std::all_of(extensions.begin(), extensions.end(),
                                              [](const QString& e) {
                                                  return e.compare(QLatin1String("dir"),
                                                                   Qt::CaseInsensitive) == 0;
                                              })) ||
        onlyFolderTypes(file->stringList(group, QStringLiteral("Mimetypes")));
    action.acceptsFiles = selection != QLatin1String("none") && !foldersOnly;
    action.quote = file->string(group, QStringLiteral("Quote")).value_or(QString()).toLower();
    return {action};
}

QByteArray write(const ActionEntry& entry) {
    return (QStringLiteral("[Nemo Action]\nName=") + DesktopKeyFile::escaped(entry.name) +
            QStringLiteral("\nComment=") + DesktopKeyFile::escaped(entry.description) +
            QStringLiteral("\nExec=") + DesktopKeyFile::execValue(entry.command) +
            QStringLiteral("\nSelection=notnone\nExtensions=any;\n"))
        .toUtf8();
}

} // namespace NemoActionFile
