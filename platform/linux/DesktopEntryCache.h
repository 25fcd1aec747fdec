#pragma once

#include "platform/linux/GLibPointers.h"

#include <gio/gdesktopappinfo.h>
#include <map>

// Desktop entries as GIO parsed them, by desktop file ID and by file. Parsing
// one (every localised key, an error built for each absent key) cost more than
// the rest of an open put together, and an open needed three. An entry is kept
// while its file is unchanged; the ID lookups also while GIO's application
// monitor reports no change, which it does only from GLib's main context:
// without that context running nothing is kept.
class DesktopEntryCache {
public:
    DesktopEntryCache() = default;
    ~DesktopEntryCache();
    DesktopEntryCache(const DesktopEntryCache&) = delete;
    DesktopEntryCache& operator=(const DesktopEntryCache&) = delete;

    GObjectPtr<GDesktopAppInfo> byID(const QByteArray& desktopID);
    GObjectPtr<GDesktopAppInfo> byFile(const QString& location);

    struct Entry {
        GObjectPtr<GDesktopAppInfo> info;
        // What changes when the file is edited, replaced or removed.
        QByteArray fileStamp;
    };

private:
    template <typename Key, typename Load>
    GObjectPtr<GDesktopAppInfo> lookup(std::map<Key, Entry>& entries, const Key& key, Load load);
    bool keeps();
    void clear();

    std::map<QByteArray, Entry> m_byID;
    std::map<QString, Entry> m_byFile;
    GAppInfoMonitor* m_monitor = nullptr;
    gulong m_handler = 0;
};
