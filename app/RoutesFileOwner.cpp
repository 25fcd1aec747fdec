#include "app/RoutesFileOwner.h"

#include <QDir>
#include <QFileInfo>

RoutesFileOwner::RoutesFileOwner(const QString& routesFilePath)
    : m_lock(routesFilePath + QStringLiteral(".lock")) {
    QDir().mkpath(QFileInfo(routesFilePath).absolutePath());
    // Held for the whole run: only a lock whose process has ended is stale.
    m_lock.setStaleLockTime(0);
    // A moment's patience: an owner that has just ended may not have been
    // reaped yet, and until then its lock does not look stale.
    m_owns = m_lock.tryLock(1500);
}

std::optional<qint64> RoutesFileOwner::ownerPid() const {
    qint64 pid = 0;
    QString host, application;
    if (m_owns || !m_lock.getLockInfo(&pid, &host, &application))
        return std::nullopt;
    return pid;
}

QString RoutesFileOwner::refusal() const {
    if (m_owns)
        return {};
    const QString file = m_lock.fileName().chopped(int(qstrlen(".lock")));
    if (const std::optional<qint64> pid = ownerPid())
        return QStringLiteral("another Corvanta (process %1) owns %2").arg(*pid).arg(file);
    return QStringLiteral("cannot claim %1 (%2)")
        .arg(file, m_lock.error() == QLockFile::PermissionError ? QStringLiteral("no permission")
                                                                : QStringLiteral("locked"));
}
