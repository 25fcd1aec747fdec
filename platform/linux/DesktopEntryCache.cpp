#include "platform/linux/DesktopEntryCache.h"

#include "platform/linux/GLibMainContext.h"

#include <QFile>
#include <sys/stat.h>

DesktopEntryCache::~DesktopEntryCache() {
    if (!m_monitor)
        return;
    g_signal_handler_disconnect(m_monitor, m_handler);
    g_object_unref(m_monitor);
}

bool DesktopEntryCache::keeps() {
    if (m_monitor)
        return true;
    if (!glibMainContextRuns())
        return false;
    // A new entry in a folder searched earlier may hide a kept one of the same ID.
    m_monitor = g_app_info_monitor_get();
    const auto changed = [](GAppInfoMonitor*, gpointer cache) {
        static_cast<DesktopEntryCache*>(cache)->clear();
    };
    m_handler = g_signal_connect(m_monitor, "changed", G_CALLBACK(+changed), this);
    return true;
}

void DesktopEntryCache::clear() {
    m_byID.clear();
    m_byFile.clear();
}

namespace {
QByteArray fileStamp(const char* file) {
    struct stat status {};
    if (!file || ::stat(file, &status) != 0)
        return {};
    return QByteArray::number(qulonglong(status.st_ino)) + ':' +
           QByteArray::number(qlonglong(status.st_size)) + ':' +
           QByteArray::number(qlonglong(status.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(status.st_mtim.tv_nsec));
}

GObjectPtr<GDesktopAppInfo> shared(GDesktopAppInfo* info) {
    return GObjectPtr<GDesktopAppInfo>(G_DESKTOP_APP_INFO(g_object_ref(info)));
}
} // namespace

template <typename Key, typename Load>
GObjectPtr<GDesktopAppInfo> DesktopEntryCache::lookup(std::map<Key, Entry>& entries, const Key& key,
                                                      Load load) {
    if (const auto kept = entries.find(key); kept != entries.end()) {
        const Entry& entry = kept->second;
        const QByteArray stamp = fileStamp(g_desktop_app_info_get_filename(entry.info.get()));
        if (!stamp.isEmpty() && stamp == entry.fileStamp)
            return shared(entry.info.get());
    }
    GObjectPtr<GDesktopAppInfo> info = load();
    if (info && keeps())
        entries.insert_or_assign(
            key, Entry{shared(info.get()), fileStamp(g_desktop_app_info_get_filename(info.get()))});
    return info;
}

GObjectPtr<GDesktopAppInfo> DesktopEntryCache::byID(const QByteArray& desktopID) {
    return lookup(m_byID, desktopID, [&] {
        return GObjectPtr<GDesktopAppInfo>(g_desktop_app_info_new(desktopID.constData()));
    });
}

GObjectPtr<GDesktopAppInfo> DesktopEntryCache::byFile(const QString& location) {
    return lookup(m_byFile, location, [&] {
        return GObjectPtr<GDesktopAppInfo>(
            g_desktop_app_info_new_from_filename(QFile::encodeName(location).constData()));
    });
}
