#include "platform/linux/DesktopProgramIndex.h"

#include "platform/linux/DesktopEntryProgram.h"
#include "platform/linux/GLibPointers.h"

#include <QDir>
#include <QFileInfo>
#include <gio/gdesktopappinfo.h>

namespace {
void onApplicationsChanged(GAppInfoMonitor*, gpointer index) {
    static_cast<DesktopProgramIndex*>(index)->invalidate();
}

QStringList applicationFolders() {
    QStringList folders;
    folders.append(QFile::decodeName(g_get_user_data_dir()) + QStringLiteral("/applications"));
    for (const gchar* const* dir = g_get_system_data_dirs(); dir && *dir; ++dir)
        folders.append(QFile::decodeName(*dir) + QStringLiteral("/applications"));
    return folders;
}

QStringList argumentsOfCommandLine(const char* commandLine) {
    QStringList arguments;
    if (!commandLine)
        return arguments;
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(commandLine, nullptr, &argv, nullptr))
        return arguments;
    GStrvPtr owned(argv);
    for (gchar** arg = argv; *arg; ++arg)
        arguments.append(QString::fromUtf8(*arg));
    return arguments;
}
} // namespace

DesktopProgramIndex::DesktopProgramIndex(QString snapRoot)
    : m_snapRoot(std::move(snapRoot)) {
    GAppInfoMonitor* monitor = g_app_info_monitor_get();
    m_monitor = monitor;
    m_handler = g_signal_connect(monitor, "changed", G_CALLBACK(onApplicationsChanged), this);
}

DesktopProgramIndex::~DesktopProgramIndex() {
    auto* monitor = static_cast<GAppInfoMonitor*>(m_monitor);
    g_signal_handler_disconnect(monitor, m_handler);
    g_object_unref(monitor);
}

namespace {
qint64 modificationStamp(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() ? info.lastModified().toMSecsSinceEpoch() : -1;
}
} // namespace

QList<DesktopProgramIndex::FolderStamp> DesktopProgramIndex::folderStamps() const {
    // A new or removed entry changes its folder's modification time. Subfolders
    // (applications/kde/) are the ones seen at the last rebuild: a new one
    // changes its parent's time.
    QList<FolderStamp> stamps;
    for (const QString& folder : applicationFolders())
        stamps.append({folder, modificationStamp(folder)});
    for (const QString& folder : m_subfolders)
        stamps.append({folder, modificationStamp(folder)});
    return stamps;
}

void DesktopProgramIndex::refreshIfStale() {
    if (m_valid && folderStamps() == m_stamps)
        return;
    m_subfolders.clear();
    for (const QString& folder : applicationFolders()) {
        const QDir dir(folder);
        for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            m_subfolders.append(sub.filePath());
    }
    // Stamped before reading, so that a change during the rebuild is seen next time.
    m_stamps = folderStamps();
    rebuild();
    m_valid = true;
}

void DesktopProgramIndex::rebuild() {
    ++m_rebuilds;
    m_byProgram.clear();
    m_bySnap.clear();
    m_byFlatpak.clear();
    m_byStartupWMClass.clear();
    m_ids.clear();
    using Target = DesktopEntryProgram::Target;
    const QString searchPath = QString::fromLocal8Bit(qgetenv("PATH"));
    GObjectListPtr infos(g_app_info_get_all());
    for (GList* item = infos.get(); item; item = item->next) {
        if (!G_IS_DESKTOP_APP_INFO(item->data))
            continue;
        auto* info = G_DESKTOP_APP_INFO(item->data);
        QString id = qStringFromUtf8(g_app_info_get_id(G_APP_INFO(info)));
        if (id.isEmpty())
            continue;
        if (id.endsWith(QLatin1String(".desktop")))
            id.chop(8);
        m_ids.insert(id);
        if (const char* wmClass = g_desktop_app_info_get_startup_wm_class(info))
            m_byStartupWMClass[QString::fromUtf8(wmClass)].append(id);

        QList<Target> targets;
        GCharPtr tryExec(g_desktop_app_info_get_string(info, G_KEY_FILE_DESKTOP_KEY_TRY_EXEC));
        if (tryExec) {
            if (auto target = DesktopEntryProgram::targetFromArguments(
                    {QString::fromUtf8(tryExec.get())}, m_snapRoot))
                targets.append(*target);
        }
        if (auto target = DesktopEntryProgram::targetFromArguments(
                argumentsOfCommandLine(g_app_info_get_commandline(G_APP_INFO(info))), m_snapRoot))
            targets.append(*target);
        // Flatpak's exported entries name their application.
        GCharPtr flatpak(g_desktop_app_info_get_string(info, "X-Flatpak"));
        if (flatpak && *flatpak)
            targets.append({Target::Kind::flatpak, QString::fromUtf8(flatpak.get()).trimmed()});

        QSet<QString> programs, snaps, applications;
        for (const Target& target : std::as_const(targets)) {
            switch (target.kind) {
            case Target::Kind::program:
                if (auto path = DesktopEntryProgram::resolveProgram(target.name, searchPath))
                    programs.insert(*path);
                break;
            case Target::Kind::script:
                if (auto path = DesktopEntryProgram::resolveScript(target.name, searchPath))
                    programs.insert(*path);
                break;
            case Target::Kind::snap:
                snaps.insert(target.name);
                break;
            case Target::Kind::flatpak:
                applications.insert(target.name);
                break;
            }
        }
        for (const QString& path : std::as_const(programs))
            m_byProgram[path].append(id);
        for (const QString& snap : std::as_const(snaps))
            m_bySnap[snap].append(id);
        for (const QString& application : std::as_const(applications))
            m_byFlatpak[application].append(id);
    }
}

QStringList DesktopProgramIndex::bundleIDsForProgram(const QString& canonicalPath) const {
    return m_byProgram.value(canonicalPath);
}
