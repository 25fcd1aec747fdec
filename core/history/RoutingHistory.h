#pragma once

#include "core/history/RoutingHistoryEntry.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

class Preferences;

// Keeps what happened to each routed file.
class RoutingRecorder {
public:
    virtual ~RoutingRecorder() = default;
    virtual void record(const RoutingHistoryEntry& entry) = 0;
    // Keeps nothing: routing without a history.
    static RoutingRecorder& none();
};

// The running instance's history of routed files, newest first. Entries go to
// the file on a thread of its own, so routing never waits for the disk and a
// file that cannot be written only costs the history. None are kept in memory
// once written (an idle tray does not grow with what it routed), and one
// writer takes every entry recorded meanwhile, so a burst of requests costs a
// few writes, not one queued copy of the history each.
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
    // Read from the file once the writes asked for so far are done.
    QList<RoutingHistoryEntry> entries();
    // Blocks until the writes asked for so far are done (for tests and quitting).
    void waitForWrites();

Q_SIGNALS:
    void changed();

private:
    // Starts the writer unless it runs; it writes until nothing is left.
    void startWriter();
    void write();

    Preferences& m_preferences;
    const QString m_filePath;
    QThreadPool m_writer;
    // Shared with the writer thread.
    QMutex m_lock;
    bool m_writing = false;
    // Recorded and not yet taken by the writer, newest first.
    QList<RoutingHistoryEntry> m_pending;
    // The next write starts from nothing instead of the file.
    bool m_clearFile = false;
    // What the file could not take, newest first, shown until it can.
    QList<RoutingHistoryEntry> m_unsaved;
    bool m_reportedFailure = false;
};
