#include "platform/linux/FileManagerRevealer.h"

#include "core/pickers/UtilityPerformer.h"
#include "platform/linux/GLibPointers.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QLoggingCategory>

namespace {
// A file manager that has to start first may take a while to answer.
constexpr int showItemsTimeoutMs = 10000;

void launchFolders(const QStringList& folders) {
    QList<QByteArray> uris;
    for (const QString& folder : folders)
        uris.append(QUrl::fromLocalFile(folder).toEncoded());
    GObjectPtr<GAppInfo> handler(g_app_info_get_default_for_type("inode/directory", FALSE));
    GErrorOut error;
    if (handler) {
        g_app_info_launch_uris(handler.get(), borrowedStringList(uris).get(), nullptr, error);
    } else {
        for (const QByteArray& uri : uris) {
            if (!g_app_info_launch_default_for_uri(uri.constData(), nullptr, error))
                break;
        }
    }
    if (error)
        qWarning("Corvanta: could not open folders: %s", qPrintable(error.message({})));
}
} // namespace

FileManagerRevealer::FileManagerRevealer(QObject* parent)
    : QObject(parent)
    , m_service(QStringLiteral("org.freedesktop.FileManager1")) {}

void FileManagerRevealer::reveal(const QList<QUrl>& files) {
    if (files.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openParentFolders(files);
        Q_EMIT revealed(false);
        return;
    }
    QStringList uris;
    for (const QUrl& file : files)
        uris.append(QString::fromUtf8(file.toEncoded()));
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_service, QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, files](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<> reply = *finished;
                if (!reply.isError()) {
                    Q_EMIT revealed(true);
                    return;
                }
                openParentFolders(files);
                Q_EMIT revealed(false);
            });
}

void FileManagerRevealer::openParentFolders(const QList<QUrl>& files) {
    const QStringList folders = UtilityPerformer::parentFolders(files);
    if (!folders.isEmpty())
        launchFolders(folders);
}
