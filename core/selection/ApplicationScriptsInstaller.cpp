#include "core/selection/ApplicationScriptsInstaller.h"

#include "core/fileactions/XdgFolders.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionHelperScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <memory>
#include <utility>

namespace {

constexpr QFileDevice::Permissions executable =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

void logInstallFailure(const QString& description) {
    qWarning("Corvanta: Application Scripts install failed: %s", qUtf8Printable(description));
}

QString pathIn(const QString& folder, const QString& fileName) {
    return QDir(folder).filePath(fileName);
}

// Byte-identical and runnable by its owner; a copy the user edited is not current.
bool isCurrent(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.readAll() != contents)
        return false;
    return file.permissions().testFlag(QFileDevice::ExeOwner);
}

bool write(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit()) {
        logInstallFailure(file.errorString());
        return false;
    }
    QFile written(path);
    if (!written.setPermissions(executable)) {
        logInstallFailure(written.errorString());
        return false;
    }
    return true;
}

// "/a/b/" and "/a/b" are the same folder; ".." is resolved.
QString standardized(const QString& path) {
    QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    return clean;
}

} // namespace

std::optional<QString> ApplicationScriptsInstaller::defaultDirectory() {
    const std::optional<XdgFolders> folders = XdgFolders::fromEnvironment();
    if (!folders)
        return std::nullopt;
    return folders->dataHome + QStringLiteral("/Corvanta/Application Scripts");
}

bool ApplicationScriptsInstaller::areScriptsCurrent(const std::optional<QString>& folder) {
    if (!folder)
        return false;
    for (const ScriptableFileManager& manager : ScriptableFileManager::builtins()) {
        if (!isCurrent(pathIn(*folder, manager.scriptFileName),
                       SelectionHelperScript::contents(manager)))
            return false;
    }
    return true;
}

bool ApplicationScriptsInstaller::install(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        logInstallFailure(QStringLiteral("could not create the folder %1").arg(folder));
        return false;
    }
    for (const ScriptableFileManager& manager : ScriptableFileManager::builtins()) {
        const QString path = pathIn(folder, manager.scriptFileName);
        const QByteArray contents = SelectionHelperScript::contents(manager);
        if (isCurrent(path, contents))
            continue;
        if (!write(path, contents))
            return false;
    }
    return areScriptsCurrent(folder);
}

QString ApplicationScriptsInstaller::installFolder(const QString& picked,
                                                   const QString& directory) {
    const QString p = standardized(picked);
    const QString d = standardized(directory);
    // A plain prefix test would take "…/Application Scripts old" for a subfolder.
    if (p == d || p.startsWith(d == QLatin1String("/") ? d : d + QLatin1Char('/')))
        return d;
    return p;
}

void ApplicationScriptsInstaller::requestUserMediatedInstall(const FolderChooser& chooser,
                                                             std::function<void(bool)> completion) {
    requestUserMediatedInstall(defaultDirectory(), chooser, std::move(completion));
}

void ApplicationScriptsInstaller::requestUserMediatedInstall(
    const std::optional<QString>& directory, const FolderChooser& chooser,
    std::function<void(bool)> completion) {
    if (!directory) {
        qWarning("Corvanta: Application Scripts directory unavailable");
        completion(false);
        return;
    }
    // Lets the dialog open inside the folder; a failure shows up at install.
    QDir().mkpath(*directory);
    const FolderRequest request{
        QStringLiteral("Corvanta needs to install helper scripts for rule hotkeys. Click "
                       "\u201cSelect Folder\u201d to allow access to Application Scripts "
                       "(leave the folder selection as shown)."),
        QStringLiteral("Select Folder"), *directory};
    // A dialog that reports twice still completes the request once.
    auto answered = std::make_shared<bool>(false);
    chooser(request, [directory = *directory, completion = std::move(completion),
                      answered](const std::optional<QString>& picked) {
        if (std::exchange(*answered, true))
            return;
        bool result = false;
        if (picked && !picked->isEmpty())
            result = install(installFolder(*picked, directory));
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [completion, result] { completion(result); });
    });
}
