#include "platform/linux/GioWorkspace.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/StartupTimeline.h"
#include "platform/linux/GLibMainContext.h"
#include "platform/linux/GLibPointers.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <gio/gdesktopappinfo.h>
#include <unistd.h>

namespace {
const QString desktopSuffix = QStringLiteral(".desktop");

QString bundleIDFromDesktopID(const char* desktopID) {
    QString id = qStringFromUtf8(desktopID);
    if (id.endsWith(desktopSuffix))
        id.chop(desktopSuffix.size());
    return id;
}

QStringList bundleIDsOf(GList* infos) {
    QStringList ids;
    for (GList* item = infos; item; item = item->next) {
        const char* id = g_app_info_get_id(G_APP_INFO(item->data));
        if (id)
            ids.append(bundleIDFromDesktopID(id));
    }
    return ids;
}

QStringList locationsOf(GList* infos) {
    QStringList locations;
    for (GList* item = infos; item; item = item->next) {
        if (!G_IS_DESKTOP_APP_INFO(item->data))
            continue;
        const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(item->data));
        if (file)
            locations.append(QFile::decodeName(file));
    }
    return locations;
}

} // namespace

GObjectPtr<GDesktopAppInfo> GioWorkspace::infoForBundleID(const QString& bundleID) const {
    if (bundleID.isEmpty())
        return nullptr;
    return m_entries.byID((bundleID + desktopSuffix).toUtf8());
}

GObjectPtr<GDesktopAppInfo> GioWorkspace::infoForLocation(const QString& location) const {
    if (location.isEmpty())
        return nullptr;
    return m_entries.byFile(location);
}

// The entry for a location, loaded by its desktop ID when it has one, so that
// GIO can name it in mimeapps.list.
GObjectPtr<GDesktopAppInfo> GioWorkspace::launchableInfoForLocation(const QString& location) const {
    GObjectPtr<GDesktopAppInfo> info = infoForLocation(location);
    if (!info)
        return nullptr;
    const char* id = g_app_info_get_id(G_APP_INFO(info.get()));
    if (!id)
        return info;
    GObjectPtr<GDesktopAppInfo> byID = m_entries.byID(QByteArray(id));
    const char* file = byID ? g_desktop_app_info_get_filename(byID.get()) : nullptr;
    if (file && QFile::decodeName(file) == location)
        return byID;
    return info;
}

QStringList GioWorkspace::editorRoleHandlers(const QString& type) const {
    GObjectListPtr infos(g_app_info_get_recommended_for_type(type.toUtf8().constData()));
    return bundleIDsOf(infos.get());
}

QStringList GioWorkspace::viewerRoleHandlers(const QString& type) const {
    GObjectListPtr infos(g_app_info_get_fallback_for_type(type.toUtf8().constData()));
    return bundleIDsOf(infos.get());
}

QStringList GioWorkspace::applicationsForType(const QString& type) const {
    GObjectListPtr infos(g_app_info_get_all_for_type(type.toUtf8().constData()));
    return locationsOf(infos.get());
}

QStringList GioWorkspace::applicationsForURL(const QUrl& url) const {
    if (url.scheme().isEmpty())
        return {};
    const QByteArray type = "x-scheme-handler/" + url.scheme().toLower().toUtf8();
    GObjectListPtr infos(g_app_info_get_all_for_type(type.constData()));
    return locationsOf(infos.get());
}

std::optional<QString> GioWorkspace::locationForBundleID(const QString& bundleID) const {
    GObjectPtr<GDesktopAppInfo> info = infoForBundleID(bundleID);
    const char* file = info ? g_desktop_app_info_get_filename(info.get()) : nullptr;
    if (!file)
        return std::nullopt;
    return QFile::decodeName(file);
}

std::optional<QString> GioWorkspace::bundleIDForLocation(const QString& location) const {
    GObjectPtr<GDesktopAppInfo> info = infoForLocation(location);
    const char* id = info ? g_app_info_get_id(G_APP_INFO(info.get())) : nullptr;
    if (!id)
        return std::nullopt;
    return bundleIDFromDesktopID(id);
}

QString GioWorkspace::applicationName(const QString& location) const {
    GObjectPtr<GDesktopAppInfo> info = infoForLocation(location);
    return info ? qStringFromUtf8(g_app_info_get_name(G_APP_INFO(info.get()))) : QString();
}

QString GioWorkspace::applicationIconName(const QString& location) const {
    GObjectPtr<GDesktopAppInfo> info = infoForLocation(location);
    if (!info)
        return {};
    GCharPtr icon(g_desktop_app_info_get_string(info.get(), G_KEY_FILE_DESKTOP_KEY_ICON));
    return qStringFromUtf8(icon.get()).trimmed();
}

QList<InstalledApplication> GioWorkspace::installedApplications() const {
    QList<InstalledApplication> applications;
    const GObjectListPtr all(g_app_info_get_all());
    for (GList* item = all.get(); item; item = item->next) {
        GAppInfo* info = G_APP_INFO(item->data);
        const char* id = g_app_info_get_id(info);
        if (!id || !g_app_info_should_show(info))
            continue;
        InstalledApplication application;
        application.bundleID = bundleIDFromDesktopID(id);
        application.name = qStringFromUtf8(g_app_info_get_name(info));
        if (G_IS_DESKTOP_APP_INFO(info)) {
            GCharPtr icon(g_desktop_app_info_get_string(G_DESKTOP_APP_INFO(info),
                                                        G_KEY_FILE_DESKTOP_KEY_ICON));
            application.iconName = qStringFromUtf8(icon.get()).trimmed();
        }
        applications.append(application);
    }
    return applications;
}

std::optional<QString> GioWorkspace::ownBundleID() const {
    if (!infoForBundleID(QString::fromLatin1(ownDesktopID)))
        return std::nullopt;
    return QString::fromLatin1(ownDesktopID);
}

std::optional<QString> GioWorkspace::defaultApplicationForScheme(const QString& scheme) const {
    if (scheme.isEmpty())
        return std::nullopt;
    GObjectPtr<GAppInfo> info(
        g_app_info_get_default_for_uri_scheme(scheme.toLower().toUtf8().constData()));
    const char* id = info ? g_app_info_get_id(info.get()) : nullptr;
    if (!id)
        return std::nullopt;
    return bundleIDFromDesktopID(id);
}

void GioWorkspace::setDefaultApplication(const QString& location, const QString& type,
                                         Completion completion) {
    GObjectPtr<GDesktopAppInfo> info = launchableInfoForLocation(location);
    std::optional<QString> failure;
    if (!info) {
        failure = QStringLiteral("No application entry at %1").arg(location);
    } else {
        GErrorOut error;
        if (!g_app_info_set_as_default_for_type(G_APP_INFO(info.get()), type.toUtf8().constData(),
                                                error))
            failure = error.message(QStringLiteral("The default application could not be set"));
    }
    if (completion)
        completion(failure);
}

QByteArray GioWorkspace::launchURI(const QUrl& url) {
    if (!url.isLocalFile())
        return url.toEncoded();
    const QByteArray path = LocalFileURL::nativePath(url);
    GObjectPtr<GFile> file(g_file_new_for_path(path.constData()));
    GCharPtr uri(g_file_get_uri(file.get()));
    return QByteArray(uri.get());
}

namespace {
// Runs `completion` after the caller returns, as a launch's result would arrive.
void completeLater(const Workspace::Completion& completion, const std::optional<QString>& result) {
    if (!completion)
        return;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [completion, result] { completion(result); }, Qt::QueuedConnection);
    else
        completion(result);
}

const QString notLaunched = QStringLiteral("The application could not be launched");

struct PendingLaunch {
    Workspace::Completion completion;
    // The launch may report after the application object is gone.
    QPointer<QCoreApplication> app;
};

void launchFinished(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingLaunch> pending(static_cast<PendingLaunch*>(data));
    GErrorOut error;
    const gboolean launched = g_app_info_launch_uris_finish(G_APP_INFO(source), result, error);
    if (!pending->completion || !pending->app)
        return;
    pending->completion(launched ? std::nullopt : std::optional(error.message(notLaunched)));
}
GObjectPtr<GAppLaunchContext> launchContext(const std::optional<QString>& token) {
    GObjectPtr<GAppLaunchContext> context(g_app_launch_context_new());
    if (token && !token->isEmpty()) {
        // The user's double-click in the file manager lets the editor come to
        // the front: X11 reads the startup ID, Wayland the activation token.
        const QByteArray bytes = token->toUtf8();
        g_app_launch_context_setenv(context.get(), "DESKTOP_STARTUP_ID", bytes.constData());
        g_app_launch_context_setenv(context.get(), "XDG_ACTIVATION_TOKEN", bytes.constData());
    }
    return context;
}
void reapWhenItExits(GDesktopAppInfo*, GPid pid, gpointer) {
    g_child_watch_add(
        pid, [](GPid exited, gint, gpointer) { g_spawn_close_pid(exited); }, nullptr);
}

// The tray maps a few hundred megabytes, and GLib's usual launch forks twice,
// copying those page tables each time: most of what an open costs the tray
// beyond a launch from a small program. GLib spawns without forking when it
// neither reaps the child nor closes its descriptors; so every descriptor is
// made close-on-exec first (the editor still inherits only 0 to 2), and a
// child watch reaps it. False on kernels without that flag of close_range
// (before 5.11): the usual launch then.
bool descriptorsCloseOnExec() {
    return ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0;
}

bool spawnWithoutFork(GDesktopAppInfo* info, GList* uris, GAppLaunchContext* context,
                      GErrorOut& error) {
    return g_desktop_app_info_launch_uris_as_manager(
        info, uris, context,
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                    G_SPAWN_LEAVE_DESCRIPTORS_OPEN),
        nullptr, nullptr, reapWhenItExits, nullptr, error);
}
} // namespace

void GioWorkspace::openURLs(const QList<QUrl>& urls, const QString& location,
                            Completion completion) {
    GObjectPtr<GDesktopAppInfo> info = launchableInfoForLocation(location);
    if (!info) {
        completeLater(completion, QStringLiteral("No application entry at %1").arg(location));
        return;
    }
    QList<QByteArray> uris;
    for (const QUrl& url : urls)
        uris.append(launchURI(url));
    const GListPtr list = borrowedStringList(uris);
    const GObjectPtr<GAppLaunchContext> context =
        launchContext(m_activationToken ? m_activationToken() : std::nullopt);
    const bool loopRuns = glibMainContextRuns();
    // Asynchronous for a D-Bus activated editor: its refusal arrives only as the
    // answer to its Open call, which the synchronous launch never waits for.
    if (loopRuns &&
        g_desktop_app_info_get_boolean(info.get(), G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE)) {
        auto* pending = new PendingLaunch{std::move(completion), QCoreApplication::instance()};
        g_app_info_launch_uris_async(G_APP_INFO(info.get()), list.get(), context.get(), nullptr,
                                     launchFinished, pending);
        StartupTimeline::mark("editor launched");
        return;
    }
    GErrorOut error;
    // Only where GLib's main context runs can a child watch reap the editor.
    const bool launched =
        loopRuns && descriptorsCloseOnExec()
            ? spawnWithoutFork(info.get(), list.get(), context.get(), error)
            : g_app_info_launch_uris(G_APP_INFO(info.get()), list.get(), context.get(), error);
    completeLater(completion, launched ? std::nullopt : std::optional(error.message(notLaunched)));
}

bool GioWorkspace::openURL(const QUrl& url) {
    if (url.isEmpty())
        return false;
    GErrorOut error;
    return g_app_info_launch_default_for_uri(launchURI(url).constData(), nullptr, error);
}
