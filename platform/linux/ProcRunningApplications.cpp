#include "platform/linux/ProcRunningApplications.h"

#include "platform/linux/DesktopEntryProgram.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SessionBusCall.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int busTimeoutMs = 250;

std::optional<QByteArray> readLink(const QByteArray& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.constData(), target, sizeof target);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof target))
        return std::nullopt;
    return QByteArray(target, length);
}

// The script an interpreter process runs, as the kernel or a launcher named it.
std::optional<QString> scriptOfInterpreter(const QByteArray& processDir,
                                           const QString& searchPath) {
    QFile file(QFile::decodeName(processDir + "/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList arguments;
    for (const QByteArray& argument : file.read(8192).split('\0'))
        arguments.append(QFile::decodeName(argument));
    const auto script = DesktopEntryProgram::scriptOfInterpreter(arguments);
    if (!script)
        return std::nullopt;
    return DesktopEntryProgram::resolveScript(*script, searchPath);
}

// The application ID of a Flatpak sandbox the process runs in.
std::optional<QString> flatpakApplication(const QByteArray& processDir) {
    const QByteArray infoPath = processDir + "/root/.flatpak-info";
    if (::access(infoPath.constData(), R_OK) != 0)
        return std::nullopt;
    GKeyFilePtr file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), infoPath.constData(), G_KEY_FILE_NONE, nullptr))
        return std::nullopt;
    GCharPtr name(g_key_file_get_string(file.get(), "Application", "name", nullptr));
    if (!name || !*name)
        return std::nullopt;
    return QString::fromUtf8(name.get());
}
} // namespace

ProcRunningApplications::ProcRunningApplications(QString procRoot, QString snapRoot)
    : m_procRoot(std::move(procRoot))
    , m_snapRoot(snapRoot)
    , m_index(std::move(snapRoot)) {}

QSet<QString> ProcRunningApplications::runningBundleIDs() const {
    QSet<QString> ids;
    m_index.refreshIfStale();
    addProcessApplications(ids);
    addBusApplications(ids);
    return ids;
}

void ProcRunningApplications::addProcessApplications(QSet<QString>& ids) const {
    const QByteArray root = QFile::encodeName(m_procRoot);
    DIR* dir = ::opendir(root.constData());
    if (!dir)
        return;
    const uid_t user = ::geteuid();
    const auto ownNamespace = readLink(root + "/self/ns/mnt");
    const pid_t self = ::getpid();
    const QString searchPath = QString::fromLocal8Bit(qgetenv("PATH"));
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (*name < '1' || *name > '9')
            continue;
        const QByteArray processDir = root + '/' + name;
        struct stat info;
        if (::stat(processDir.constData(), &info) != 0 || info.st_uid != user)
            continue;
        if (QByteArray(name).toLong() == self)
            continue;
        const auto executable = readLink(processDir + "/exe");
        if (executable) {
            // A program replaced on disk while running reads " (deleted)".
            QByteArray path = *executable;
            if (path.endsWith(" (deleted)"))
                path.chop(10);
            const QString program = QFile::decodeName(path);
            // An interpreter is only ever running a script: it stands for no
            // entry itself.
            if (DesktopEntryProgram::isInterpreter(QFileInfo(program).fileName())) {
                if (auto script = scriptOfInterpreter(processDir, searchPath)) {
                    for (const QString& id : m_index.bundleIDsForProgram(*script))
                        ids.insert(id);
                }
            } else if (auto snap = DesktopEntryProgram::snapOfExecutable(program, m_snapRoot)) {
                for (const QString& id : m_index.bundleIDsForSnap(*snap))
                    ids.insert(id);
            } else {
                for (const QString& id : m_index.bundleIDsForProgram(program))
                    ids.insert(id);
            }
        }
        // Only a process in another mount namespace can be in a Flatpak sandbox.
        if (readLink(processDir + "/ns/mnt") != ownNamespace) {
            if (auto flatpak = flatpakApplication(processDir)) {
                for (const QString& id : m_index.bundleIDsForFlatpak(*flatpak))
                    ids.insert(id);
                // Exported entries are named after the application.
                if (m_index.bundleIDs().contains(*flatpak))
                    ids.insert(*flatpak);
            }
        }
    }
    ::closedir(dir);
}

void ProcRunningApplications::addBusApplications(QSet<QString>& ids) const {
    const GVariantPtr reply =
        SessionBusCall::call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus", "ListNames", nullptr, "(as)", busTimeoutMs);
    if (!reply)
        return;
    const QSet<QString>& installed = m_index.bundleIDs();
    GVariantIter* names = nullptr;
    g_variant_get(reply.get(), "(as)", &names);
    const gchar* name = nullptr;
    while (g_variant_iter_next(names, "&s", &name)) {
        const QString id = QString::fromUtf8(name);
        if (!id.startsWith(QLatin1Char(':')) && installed.contains(id))
            ids.insert(id);
    }
    g_variant_iter_free(names);
}
