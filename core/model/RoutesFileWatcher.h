#pragma once

#include "core/model/RouteStore.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Notices when the routes file changes on disk under the store (a hand edit,
// another tool, a restored backup) and has the store read it again. Editors
// and tools mostly replace the file (write a new one, rename it over the old),
// which ends a watch on the file itself, so its folder is watched as well.
class RoutesFileWatcher : public QObject {
    Q_OBJECT
public:
    // The store's reload handler hears of what a reload found.
    explicit RoutesFileWatcher(RouteStore& store, QObject* parent = nullptr);

    // How long a burst of file events is left to settle before reading.
    static constexpr int settleMs = 80;

private:
    void watch();
    void settled();

    RouteStore& m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
