#include "core/history/RoutingHistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>

QString RoutingHistoryFile::defaultPath() {
    // Relative values are invalid per the XDG base directory rules and are ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state) + QStringLiteral("/Corvanta/history.jsonl");
}

namespace {
// The entry one line of the file holds; none for a damaged line.
std::optional<RoutingHistoryEntry> entryOn(const QByteArray& line) {
    return RoutingHistoryEntry::fromJson(QJsonDocument::fromJson(line).object());
}
} // namespace

std::optional<QList<RoutingHistoryEntry>> RoutingHistoryFile::read(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return QList<RoutingHistoryEntry>();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<RoutingHistoryEntry> entries;
    while (!file.atEnd() && entries.size() < limit) {
        if (const auto entry = entryOn(file.readLine()))
            entries.append(*entry);
    }
    return entries;
}

namespace {
constexpr int lockWaitMs = 5000;

// The file's entries that fit after `written` others, as the lines they are.
bool copyOlder(const QString& path, qsizetype written, QSaveFile& out, QString& error) {
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    while (!file.atEnd() && written < RoutingHistoryFile::limit) {
        QByteArray line = file.readLine();
        if (!entryOn(line))
            continue;
        if (!line.endsWith('\n'))
            line += '\n';
        out.write(line);
        ++written;
    }
    return true;
}
} // namespace

bool RoutingHistoryFile::write(const QString& path, const QList<RoutingHistoryEntry>& newestFirst,
                               QString& error, Older older) {
    if (newestFirst.isEmpty() && older == Older::kept)
        return true;
    if (newestFirst.isEmpty()) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        error = file.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    // Another process may write at the same time (two files opened while no
    // tray runs): each would copy the file as it was, and one's entries be lost.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs)) {
        error = QStringLiteral("another program is writing it");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const qsizetype count = std::min(newestFirst.size(), limit);
    for (qsizetype i = 0; i < count; ++i) {
        file.write(QJsonDocument(newestFirst.at(i).toJson()).toJson(QJsonDocument::Compact));
        file.write("\n");
    }
    if (older == Older::kept && !copyOlder(path, count, file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
