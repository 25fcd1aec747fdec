#pragma once

#include "core/history/RoutingHistoryEntry.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <optional>

class Preferences;

// Keeps what happened to each routed file.
class RoutingRecorder {
public:
    virtual ~RoutingRecorder() = default;
    virtual void record(const RoutingHistoryEntry& entry) = 0;
    // Keeps nothing: routing without a history.
    static RoutingRecorder& none();
};

// The running instance's history of routed files: kept in memory, newest first,
// and written to its file on a thread of its own, so routing never waits for the
// disk and a file that cannot be written only costs the history.
class RoutingHistory : public QObject, public RoutingRecorder {
    Q_OBJECT
public:
    RoutingHistory(Preferences& preferences, QString filePath, QObject* parent = nullptr);
    // Waits for the last write.
    ~RoutingHistory() override;

    // Nothing is kept while "Remember routed files" is off.
    bool isEnabled() const;
    void setEnabled(bool enabled);
    void record(const RoutingHistoryEntry& entry) override;
    // Forgets everything, on disk too.
    void clear();
    // Read from disk on first use, not while Corvanta starts.
    const QList<RoutingHistoryEntry>& entries() const;
    // Blocks until the writes asked for so far are done (for tests and quitting).
    void waitForWrites();

Q_SIGNALS:
    void changed();

private:
    void scheduleWrite();

    Preferences& m_preferences;
    QString m_filePath;
    mutable std::optional<QList<RoutingHistoryEntry>> m_entries;
    QThreadPool m_writer;
    bool m_writeScheduled = false;
    bool m_reportedFailure = false;
};
