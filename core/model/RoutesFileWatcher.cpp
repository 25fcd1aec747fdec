#include "core/model/RoutesFileWatcher.h"

#include <QFileInfo>

RoutesFileWatcher::RoutesFileWatcher(RouteStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &RoutesFileWatcher::settled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    watch();
}

void RoutesFileWatcher::watch() {
    const QString file = m_store.filePath();
    const QString folder = QFileInfo(file).absolutePath();
    // A replaced file is a new file: its watch has to be set up again.
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
    if (!m_watcher.files().contains(file) && QFileInfo::exists(file))
        m_watcher.addPath(file);
}

void RoutesFileWatcher::settled() {
    watch();
    m_store.reloadIfChanged();
}
