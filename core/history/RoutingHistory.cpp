#include "core/history/RoutingHistory.h"

#include "core/history/RoutingHistoryFile.h"
#include "core/platform/Preferences.h"

#include <QDebug>

RoutingRecorder& RoutingRecorder::none() {
    static struct : RoutingRecorder {
        void record(const RoutingHistoryEntry&) override {}
    } nothingKept;
    return nothingKept;
}

RoutingHistory::RoutingHistory(Preferences& preferences, QString filePath, QObject* parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_filePath(std::move(filePath)) {
    m_writer.setMaxThreadCount(1);
}

RoutingHistory::~RoutingHistory() {
    waitForWrites();
}

bool RoutingHistory::isEnabled() const {
    return m_preferences.boolean(PreferenceKeys::remembersRoutedFiles).value_or(true);
}

void RoutingHistory::setEnabled(bool enabled) {
    m_preferences.setBoolean(PreferenceKeys::remembersRoutedFiles, enabled);
}

QList<RoutingHistoryEntry> RoutingHistory::entries() {
    waitForWrites();
    QList<RoutingHistoryEntry> entries = [this] {
        const QMutexLocker locker(&m_lock);
        return m_unsaved;
    }();
    entries += RoutingHistoryFile::read(m_filePath).value_or(QList<RoutingHistoryEntry>());
    if (entries.size() > RoutingHistoryFile::limit)
        entries.resize(RoutingHistoryFile::limit);
    return entries;
}

void RoutingHistory::record(const RoutingHistoryEntry& entry) {
    if (!isEnabled())
        return;
    {
        const QMutexLocker locker(&m_lock);
        m_pending.prepend(entry);
    }
    startWriter();
    Q_EMIT changed();
}

void RoutingHistory::clear() {
    {
        const QMutexLocker locker(&m_lock);
        m_pending.clear();
        m_unsaved.clear();
        m_clearFile = true;
    }
    startWriter();
    Q_EMIT changed();
}

void RoutingHistory::startWriter() {
    const QMutexLocker locker(&m_lock);
    if (!std::exchange(m_writing, true))
        m_writer.start([this] { write(); });
}

void RoutingHistory::write() {
    for (;;) {
        QMutexLocker locker(&m_lock);
        if (m_pending.isEmpty() && !m_clearFile) {
            m_writing = false;
            return;
        }
        const bool fromNothing = std::exchange(m_clearFile, false);
        // What the file could not take before goes with the new entries.
        const QList<RoutingHistoryEntry> newer =
            std::exchange(m_pending, {}) + std::exchange(m_unsaved, {});
        locker.unlock();
        QString error;
        if (RoutingHistoryFile::write(m_filePath, newer, error,
                                      fromNothing ? RoutingHistoryFile::Older::dropped
                                                  : RoutingHistoryFile::Older::kept))
            continue;
        locker.relock();
        // Unless the history was cleared meanwhile.
        if (!m_clearFile)
            m_unsaved = newer.mid(0, RoutingHistoryFile::limit);
        locker.unlock();
        // The report back is dropped with its receiver (the destructor waits
        // for the writer first).
        QMetaObject::invokeMethod(this, [this, error] {
            if (std::exchange(m_reportedFailure, true))
                return;
            qWarning().noquote() << "Could not write the history to" << m_filePath << ":" << error;
        });
    }
}

void RoutingHistory::waitForWrites() {
    m_writer.waitForDone();
}
