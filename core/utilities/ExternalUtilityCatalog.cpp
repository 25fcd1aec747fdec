#include "core/utilities/ExternalUtilityCatalog.h"

#include "core/fileactions/XdgFolders.h"
#include "core/platform/Alerts.h"
#include "core/platform/FileRevealer.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/ProcessRunner.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

namespace ExternalUtilityCatalog {
namespace {

bool hasExtension(const QString& name, std::initializer_list<const char*> extensions) {
    const QString suffix = QFileInfo(name).suffix();
    for (const char* extension : extensions) {
        if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

struct Walk {
    QString root;
    bool automator = false, osascript = false;
};

void walkScripts(const Walk& walk, const QString& folder, QList<CatalogEntry>& into, int depth) {
    if (depth > 32)
        return;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(
             QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString name = info.fileName();
        bool collect = false;
        if (hasExtension(name, {"workflow"})) {
            collect = walk.automator;
        } else if (info.isDir()) {
            // A linked folder is not entered: it may lead back up.
            if (!info.isSymLink())
                walkScripts(walk, info.absoluteFilePath(), into, depth + 1);
        } else if (info.isFile()) {
            collect = info.isExecutable() ||
                      (walk.osascript && hasExtension(name, {"applescript", "scpt"}));
        }
        if (!collect)
            continue;
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        const QString prefix = QDir::cleanPath(walk.root) + QLatin1Char('/');
        const QString relative = path.startsWith(prefix) ? path.mid(prefix.size()) : name;
        into.append({relative, scriptDisplayName(name)});
    }
}

} // namespace

QList<CatalogEntry> shortcutsFromList(const QByteArray& output) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(output);
    if (decoder.hasError())
        text.clear();
    QList<CatalogEntry> entries;
    for (const QString& rawLine : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString line = rawLine.trimmed();
        const qsizetype open = line.lastIndexOf(QLatin1Char('('));
        if (open <= 0 || !line.endsWith(QLatin1Char(')')))
            continue;
        const QString name = line.left(open).trimmed();
        const QString id = line.mid(open + 1, line.size() - open - 2);
        if (name.isEmpty() || id.isEmpty())
            continue;
        entries.append({id, name});
    }
    sortCatalogEntries(entries);
    return entries;
}

bool isRunnable(const QByteArray& program) {
    const QFileInfo info(QFile::decodeName(program));
    return info.isFile() && info.isExecutable();
}

CatalogScan listShortcuts(ProcessRunner& processes, const QString& toolPath) {
    ProcessRequest request(QFile::encodeName(toolPath), {"list", "--show-identifiers"});
    request.waitForExit = true;
    const ProcessResult result = processes.run(request);
    if (!result.started())
        return CatalogScan::failure(
            QStringLiteral("Could not run the Shortcuts command-line tool."));
    if (result.exitCode != 0)
        return CatalogScan::failure(
            QStringLiteral("Shortcuts list failed. Is the Shortcuts app available?"));
    return {shortcutsFromList(result.standardOutput), std::nullopt};
}

std::optional<QString> scriptsFolder(bool usesApplicationScripts, const QString& dataHome) {
    if (dataHome.isEmpty())
        return std::nullopt;
    return dataHome + (usesApplicationScripts ? QStringLiteral("/Corvanta/Application Scripts")
                                              : QStringLiteral("/Corvanta/Scripts"));
}

std::optional<QString> scriptsFolder(bool usesApplicationScripts) {
    // The same folder the selection helpers are installed into.
    if (usesApplicationScripts)
        return ApplicationScriptsInstaller::defaultDirectory();
    const std::optional<XdgFolders> folders = XdgFolders::fromEnvironment();
    return folders ? scriptsFolder(false, folders->dataHome) : std::nullopt;
}

QString scriptsFolderForDisplay() {
    const QString folder = scriptsFolder(false).value_or(QString());
    const QString home = QDir::homePath();
    return folder.startsWith(home + QLatin1Char('/'))
               ? QStringLiteral("~") + folder.mid(home.size())
               : folder;
}

CatalogScan listScripts(const std::optional<QString>& folder, const Tools& tools) {
    if (!folder)
        return CatalogScan::failure(QStringLiteral("Scripts folder is unavailable."));
    const QFileInfo info(*folder);
    if (!info.exists())
        return {};
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return CatalogScan::failure(QStringLiteral("Could not read the scripts folder."));
    QList<CatalogEntry> entries;
    walkScripts({*folder, isRunnable(tools.automator), isRunnable(tools.osascript)}, *folder,
                entries, 0);
    sortCatalogEntries(entries);
    return {entries, std::nullopt};
}

CatalogScan listScripts(bool usesApplicationScripts) {
    return listScripts(scriptsFolder(usesApplicationScripts));
}

bool revealScriptsFolder(const std::optional<QString>& folder, FileRevealer& revealer) {
    if (!folder)
        return false;
    if (!QDir().mkpath(*folder) || !QFileInfo(*folder).isDir()) {
        qWarning("Corvanta: could not create scripts folder: %s", qPrintable(qt_error_string()));
        return false;
    }
    revealer.reveal({QUrl::fromLocalFile(*folder)});
    return true;
}

void openScriptsFolder(bool usesApplicationScripts, FileRevealer& revealer, Alerts& alerts) {
    if (revealScriptsFolder(scriptsFolder(usesApplicationScripts), revealer))
        return;
    const QString informative =
        usesApplicationScripts
            ? QStringLiteral("Application Scripts is unavailable. Use Install Scripts\u2026 on "
                             "the Permissions tab first.")
            : PlatformTexts::text("Could not create or reveal ~/Library/Scripts.")
                  .arg(scriptsFolderForDisplay());
    alerts.runAlert(
        AlertRequest::warning(QStringLiteral("Could not open scripts folder"), informative));
}
} // namespace ExternalUtilityCatalog
