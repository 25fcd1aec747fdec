#include "platform/linux/DesktopTerminalLauncher.h"

#include "platform/linux/GLibPointers.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <gio/gdesktopappinfo.h>
#include <unistd.h>

namespace {
// Runs in the child between fork and exec: only async-signal-safe calls. A
// folder that vanished in between leaves the terminal in the inherited one.
void changeIntoFolder(gpointer folder) {
    if (chdir(static_cast<const char*>(folder)) != 0)
        return;
}

// The program an entry's Exec line starts; empty when the line cannot be read.
// GIO refuses entries whose program is missing without saying so.
QString execProgram(GKeyFile* keyFile) {
    GCharPtr exec(g_key_file_get_string(keyFile, G_KEY_FILE_DESKTOP_GROUP,
                                        G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr));
    gchar** argv = nullptr;
    if (!exec || !g_shell_parse_argv(exec.get(), nullptr, &argv, nullptr))
        return {};
    GStrvPtr args(argv);
    return args && args.get()[0] ? QFile::decodeName(args.get()[0]) : QString();
}

// The terminal's entry as GIO sees it, but never D-Bus activated.
GObjectPtr<GDesktopAppInfo> spawnableEntry(const QString& location, QString& failure) {
    GKeyFilePtr keyFile(g_key_file_new());
    GErrorOut error;
    if (!g_key_file_load_from_file(keyFile.get(), QFile::encodeName(location).constData(),
                                   G_KEY_FILE_KEEP_TRANSLATIONS, error)) {
        failure = error.message(
            QStringLiteral("The terminal's desktop entry at %1 cannot be read.").arg(location));
        return nullptr;
    }
    g_key_file_remove_key(keyFile.get(), G_KEY_FILE_DESKTOP_GROUP,
                          G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE, nullptr);
    GObjectPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_keyfile(keyFile.get()));
    if (!info) {
        const QString program = execProgram(keyFile.get());
        failure = program.isEmpty()
                      ? QStringLiteral("The terminal's desktop entry at %1 cannot be launched.")
                            .arg(location)
                      : QStringLiteral("The terminal's program “%1” was not found.").arg(program);
    }
    return info;
}

std::optional<QString> launchInFolder(GDesktopAppInfo* info, const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("The folder “%1” does not exist.").arg(folder);
    QByteArray path = QFile::encodeName(folder);
    GErrorOut error;
    if (g_desktop_app_info_launch_uris_as_manager(info, nullptr, nullptr, G_SPAWN_SEARCH_PATH,
                                                  changeIntoFolder, path.data(), nullptr, nullptr,
                                                  error))
        return std::nullopt;
    return error.message(QStringLiteral("The terminal could not be started."));
}
} // namespace

void DesktopTerminalLauncher::launchInFolders(const QString& location, const QStringList& folders,
                                              Completion completion) {
    std::optional<QString> firstFailure;
    QString failure;
    GObjectPtr<GDesktopAppInfo> info = spawnableEntry(location, failure);
    if (!info) {
        firstFailure = failure;
    } else {
        for (const QString& folder : folders) {
            std::optional<QString> result = launchInFolder(info.get(), folder);
            if (result && !firstFailure)
                firstFailure = result;
        }
    }
    if (!completion)
        return;
    // Callers expect the completion after this call returns, as with any launch.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [completion, firstFailure] { completion(firstFailure); }, Qt::QueuedConnection);
    } else {
        completion(firstFailure);
    }
}
