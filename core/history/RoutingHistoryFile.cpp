#include "core/history/RoutingHistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

QString RoutingHistoryFile::defaultPath() {
    // Relative values are invalid per the XDG base directory rules and are ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state) + QStringLiteral("/Corvanta/history.jsonl");
}

std::optional<QList<RoutingHistoryEntry>> RoutingHistoryFile::read(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return QList<RoutingHistoryEntry>();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<RoutingHistoryEntry> entries;
    while (!file.atEnd() && entries.size() < limit) {
        const QJsonDocument line = QJsonDocument::fromJson(file.readLine());
        if (const auto entry = RoutingHistoryEntry::fromJson(line.object()))
            entries.append(*entry);
    }
    return entries;
}

bool RoutingHistoryFile::write(const QString& path, const QList<RoutingHistoryEntry>& newestFirst,
                               QString& error) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    for (qsizetype i = 0; i < newestFirst.size() && i < limit; ++i) {
        file.write(QJsonDocument(newestFirst.at(i).toJson()).toJson(QJsonDocument::Compact));
        file.write("\n");
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
