#include "core/utilities/FileManagerActions.h"

#include "core/platform/PlatformTexts.h"
#include "core/utilities/DesktopKeyFile.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

using Source = FileManagerAction::Source;

// Action files are small; anything larger is not one.
constexpr qint64 maximumFileSize = 1 << 20;

FileManagerAction unreadableFile(Source source, const QString& path) {
    FileManagerAction action;
    action.source = source;
    action.name = scriptDisplayName(path);
    action.filePath = path;
    action.unreadable = true;
    return action;
}

// Files and folders only (no directory entries like "." or hidden files).
QStringList filesIn(const QString& folder, const QString& suffix) {
    QStringList paths;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name))
        paths.append(info.absoluteFilePath());
    return paths;
}

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    const QByteArray data = file.read(maximumFileSize + 1);
    if (data.size() > maximumFileSize)
        return std::nullopt;
    return data;
}

bool onlyFolders(const QStringList& types) {
    for (const QString& type : types) {
        if (!type.startsWith(QLatin1String("inode/")))
            return false;
    }
    return !types.isEmpty();
}

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

void walkNautilusScripts(const QString& folder, QList<FileManagerAction>& into, int depth) {
    if (depth > 16)
        return;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (info.isDir()) {
            if (!info.isSymLink())
                walkNautilusScripts(info.absoluteFilePath(), into, depth + 1);
        } else if (info.isExecutable()) {
            FileManagerAction action;
            action.source = Source::nautilusScript;
            action.name = info.fileName();
            action.filePath = info.absoluteFilePath();
            into.append(action);
        }
    }
}

// As KIO finds them: a file in an earlier folder hides one of the same name in
// a later one, and a menu in the user's own folder counts only when it is
// executable (KIO shows no other: anything could have dropped it there).
QStringList serviceMenus(const FileManagerActionFolders& folders, const QString& subfolder) {
    QStringList paths;
    QSet<QString> names;
    for (const QString& data : folders.dataFolders) {
        const bool userFolder = QDir(data) == QDir(folders.dataHome);
        for (const QString& path : filesIn(data + subfolder, QStringLiteral(".desktop"))) {
            const QFileInfo info(path);
            if (names.contains(info.fileName()))
                continue;
            names.insert(info.fileName());
            if (!userFolder || info.isExecutable())
                paths << path;
        }
    }
    return paths;
}

QString nautilusScriptsFolder(const FileManagerActionFolders& folders) {
    return folders.dataHome + QStringLiteral("/nautilus/scripts");
}

} // namespace

FileManagerActionFolders FileManagerActionFolders::fromEnvironment() {
    FileManagerActionFolders folders;
    folders.dataFolders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    folders.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    folders.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folders.languages = DesktopKeyFile::userLanguages();
    return folders;
}

QString FileManagerAction::id() const {
    return key.isEmpty() ? filePath : key + QLatin1Char('|') + filePath;
}

ExecCommandLine::Dialect FileManagerAction::dialect() const {
    switch (source) {
    case Source::thunarAction:
        return ExecCommandLine::Dialect::thunar;
    case Source::nemoAction:
        return ExecCommandLine::Dialect::nemo;
    case Source::kdeServiceMenu:
    case Source::nautilusScript:
        break;
    }
    return ExecCommandLine::Dialect::desktopEntry;
}

namespace FileManagerActions {

QList<FileManagerAction> readServiceMenu(const QString& path, const QByteArray& data,
                                         const QStringList& languages) {
    const auto file = DesktopKeyFile::parse(data);
    const QString main = QStringLiteral("Desktop Entry");
    if (!file || !file->hasGroup(main))
        return {unreadableFile(Source::kdeServiceMenu, path)};
    const QString prefix = QStringLiteral("Desktop Action ");
    QStringList keys = file->stringList(main, QStringLiteral("Actions"));
    if (!file->hasKey(main, QStringLiteral("Actions"))) {
        for (const QString& group : file->groups())
            if (group.startsWith(prefix))
                keys.append(group.mid(prefix.size()));
    }
    // An action listed twice is still one action.
    keys.removeDuplicates();
    const bool accepts = !onlyFolders(file->stringList(main, QStringLiteral("MimeType")));
    QList<FileManagerAction> actions;
    for (const QString& key : keys) {
        const QString group = prefix + key;
        const auto exec = file->string(group, QStringLiteral("Exec"));
        if (!exec || !file->hasGroup(group))
            continue;
        FileManagerAction action;
        action.source = Source::kdeServiceMenu;
        action.key = key;
        action.name = file->localeString(group, QStringLiteral("Name"), languages).value_or(key);
        action.filePath = path;
        action.exec = exec;
        action.acceptsFiles = accepts;
        actions.append(action);
    }
    if (actions.size() == 1)
        actions.first().key.clear();
    return actions;
}

QList<FileManagerAction> readNemoAction(const QString& path, const QByteArray& data,
                                        const QStringList& languages) {
    const auto file = DesktopKeyFile::parse(data);
    const QString group = QStringLiteral("Nemo Action");
    if (!file || !file->hasGroup(group))
        return {unreadableFile(Source::nemoAction, path)};
    if (file->boolean(group, QStringLiteral("Active")) == false)
        return {};
    auto exec = file->string(group, QStringLiteral("Exec"));
    if (!exec)
        return {unreadableFile(Source::nemoAction, path)};
    // "<program ...>": the program lies next to the action file.
    if (exec->startsWith(QLatin1Char('<')) && exec->endsWith(QLatin1Char('>')))
        *exec = quotedForCommandLine(QFileInfo(path).absolutePath() + QLatin1Char('/')) +
                exec->mid(1, exec->size() - 2);
    FileManagerAction action;
    action.source = Source::nemoAction;
    action.name = file->localeString(group, QStringLiteral("Name"), languages)
                      .value_or(file->localeString(group, QStringLiteral("_Name"), languages)
                                    .value_or(scriptDisplayName(path)));
    action.filePath = path;
    action.exec = exec;
    const QString selection =
        file->string(group, QStringLiteral("Selection")).value_or(QString()).toLower();
    const QStringList extensions = file->stringList(group, QStringLiteral("Extensions"));
    const QStringList types = file->stringList(group, QStringLiteral("Mimetypes"));
    const bool foldersOnly =
        (!extensions.isEmpty() && std::all_of(extensions.begin(), extensions.end(),
                                              [](const QString& e) {
                                                  return e.compare(QLatin1String("dir"),
                                                                   Qt::CaseInsensitive) == 0;
                                              })) ||
        onlyFolders(types);
    action.acceptsFiles = selection != QLatin1String("none") && !foldersOnly;
    action.quote = file->string(group, QStringLiteral("Quote")).value_or(QString()).toLower();
    return {action};
}

QList<FileManagerAction> readThunarActions(const QString& path, const QByteArray& data,
                                           const QStringList& languages) {
    static const QStringList fileTags = {
        QStringLiteral("audio-files"), QStringLiteral("image-files"), QStringLiteral("other-files"),
        QStringLiteral("text-files"), QStringLiteral("video-files")};
    QXmlStreamReader xml(data);
    QList<FileManagerAction> actions;
    struct Draft {
        QString uniqueID, name, command;
        int nameRank = 1000; // lower is a better language match
        bool files = false, hasCommand = false;
    };
    std::optional<Draft> draft;
    int depth = 0;
    const auto rankOf = [&languages](const QString& lang) {
        if (lang.isEmpty())
            return 999;
        for (qsizetype i = 0; i < languages.size(); ++i) {
            const QString& wanted = languages.at(i);
            if (wanted == lang || wanted.section(QLatin1Char('_'), 0, 0) == lang)
                return int(i);
        }
        return 1000;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        // Thunar writes no document type; one here only brings entities to expand.
        if (xml.isDTD() || xml.isEntityReference())
            return {unreadableFile(Source::thunarAction, path)};
        if (xml.isStartElement()) {
            ++depth;
            const auto element = xml.name();
            if (depth == 1 && element != QLatin1String("actions"))
                return {unreadableFile(Source::thunarAction, path)};
            if (depth == 2 && element == QLatin1String("action")) {
                draft = Draft{};
            } else if (depth == 3 && draft) {
                const QString lang = xml.attributes().value(QLatin1String("xml:lang")).toString();
                if (fileTags.contains(element.toString())) {
                    draft->files = true;
                    xml.skipCurrentElement();
                    --depth;
                } else if (element == QLatin1String("name")) {
                    const QString text = xml.readElementText();
                    --depth;
                    const int rank = rankOf(lang);
                    if (rank < draft->nameRank) {
                        draft->name = text;
                        draft->nameRank = rank;
                    }
                } else if (element == QLatin1String("unique-id")) {
                    draft->uniqueID = xml.readElementText();
                    --depth;
                } else if (element == QLatin1String("command")) {
                    draft->command = xml.readElementText();
                    draft->hasCommand = true;
                    --depth;
                }
            }
        } else if (xml.isEndElement()) {
            if (depth == 2 && draft) {
                // Of two actions with one id the first counts, so that the
                // checklist and the runner mean the same one.
                const QString key = draft->uniqueID.isEmpty() ? draft->name : draft->uniqueID;
                const bool duplicate =
                    std::any_of(actions.begin(), actions.end(),
                                [&key](const FileManagerAction& a) { return a.key == key; });
                if (draft->hasCommand && !duplicate) {
                    FileManagerAction action;
                    action.source = Source::thunarAction;
                    action.key = key;
                    action.name = draft->name.isEmpty() ? scriptDisplayName(path) : draft->name;
                    action.filePath = path;
                    action.exec = draft->command;
                    action.acceptsFiles = draft->files;
                    actions.append(action);
                }
                draft.reset();
            }
            --depth;
        }
    }
    if (xml.hasError())
        return {unreadableFile(Source::thunarAction, path)};
    if (actions.size() == 1)
        actions.first().key.clear();
    return actions;
}

QList<FileManagerAction> readFile(const QString& path, const FileManagerActionFolders& folders) {
    const QFileInfo info(path);
    const QString scripts = nautilusScriptsFolder(folders) + QLatin1Char('/');
    if (path.startsWith(scripts)) {
        if (!info.isFile() || !info.isExecutable())
            return {};
        FileManagerAction action;
        action.source = Source::nautilusScript;
        action.name = info.fileName();
        action.filePath = path;
        return {action};
    }
    Source source;
    if (path.endsWith(QLatin1String(".nemo_action")))
        source = Source::nemoAction;
    else if (info.fileName() == QLatin1String("uca.xml"))
        source = Source::thunarAction;
    else if (path.endsWith(QLatin1String(".desktop")))
        source = Source::kdeServiceMenu;
    else
        return {};
    if (!info.exists())
        return {};
    const auto data = readSmallFile(path);
    if (!data)
        return {unreadableFile(source, path)};
    switch (source) {
    case Source::nemoAction:
        return readNemoAction(path, *data, folders.languages);
    case Source::thunarAction:
        return readThunarActions(path, *data, folders.languages);
    default:
        return readServiceMenu(path, *data, folders.languages);
    }
}

QList<FileManagerAction> installed(const FileManagerActionFolders& folders) {
    QList<FileManagerAction> actions;
    for (const QString& path : installedActionFiles(folders))
        actions << readFile(path, folders);
    return actions;
}

QStringList installedActionFiles(const FileManagerActionFolders& folders) {
    QStringList paths;
    for (const QString& menus :
         {QStringLiteral("/kio/servicemenus"), QStringLiteral("/kservices5/ServiceMenus")})
        paths << serviceMenus(folders, menus);
    for (const QString& data : folders.dataFolders)
        paths << filesIn(data + QStringLiteral("/nemo/actions"), QStringLiteral(".nemo_action"));
    const QString uca = folders.configHome + QStringLiteral("/Thunar/uca.xml");
    if (QFileInfo(uca).isFile())
        paths << uca;
    QList<FileManagerAction> scripts;
    walkNautilusScripts(nautilusScriptsFolder(folders), scripts, 0);
    for (const FileManagerAction& script : scripts)
        paths << script.filePath;
    return paths;
}

CatalogScan listServices(const FileManagerActionFolders& folders) {
    QMap<QString, CatalogEntry> byID;
    for (const FileManagerAction& action : installed(folders)) {
        if (action.acceptsFiles)
            byID.insert(action.id(), {action.id(), action.name});
    }
    QList<CatalogEntry> entries = byID.values();
    if (entries.isEmpty())
        return CatalogScan::failure(
            PlatformTexts::text("No file Services found in Library/Services."));
    sortCatalogEntries(entries);
    return {entries, std::nullopt};
}

std::optional<FileManagerAction> find(const QString& id, const QString& name,
                                      const FileManagerActionFolders& folders) {
    // The key ends at the first bar before an absolute path; the path may hold bars.
    const qsizetype split = id.indexOf(QStringLiteral("|/"));
    const QString key = split >= 0 ? id.left(split) : QString();
    const QString path = split >= 0 ? id.mid(split + 1) : id;
    // Only files where the file managers keep their actions: an id from a
    // damaged or foreign routes file must not run some other file's command.
    if (!installedActionFiles(folders).contains(path))
        return std::nullopt;
    const QList<FileManagerAction> actions = readFile(path, folders);
    for (const FileManagerAction& action : actions) {
        if (action.key == key && !action.unreadable)
            return action;
    }
    for (const FileManagerAction& action : actions) {
        if (action.name == name && !action.unreadable)
            return action;
    }
    return std::nullopt;
}

} // namespace FileManagerActions
