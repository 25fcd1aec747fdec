#pragma once

#include "core/model/RouteStore.h"

#include <QLockFile>
#include <QString>
#include <optional>

// At most one process writes the routes file. The tray instance, and a
// process that teaches or routes in its own right because no instance answers,
// first ask for ownership here; one that does not get it opens the store
// read-only. The claim is a lock file next to the routes file, held for the
// process's life and taken over from a process that ended without letting go.
class RoutesFileOwner {
public:
    explicit RoutesFileOwner(const QString& routesFilePath);

    bool owns() const { return m_owns; }
    RouteStore::Access access() const {
        return m_owns ? RouteStore::Access::readWrite : RouteStore::Access::readOnly;
    }
    // The process that owns the file when this one does not (when it can be told).
    std::optional<qint64> ownerPid() const;
    // One line for the user: which process owns the file, or why it could not be claimed.
    QString refusal() const;

private:
    QLockFile m_lock;
    bool m_owns = false;
};
