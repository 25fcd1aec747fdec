#include "core/history/RoutingHistory.h"

#include "core/history/RoutingHistoryFile.h"
#include "core/platform/Preferences.h"

#include <QDebug>
#include <QTimer>

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
    // One thread: writes land in the order they were asked for.
    m_writer.setMaxThreadCount(1);
}

const QList<RoutingHistoryEntry>& RoutingHistory::entries() const {
    if (!m_entries) {
        m_entries =
            isEnabled()
                ? RoutingHistoryFile::read(m_filePath).value_or(QList<RoutingHistoryEntry>())
                : QList<RoutingHistoryEntry>();
    }
    return *m_entries;
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

void RoutingHistory::record(const RoutingHistoryEntry& entry) {
    if (!isEnabled())
        return;
    entries();
    m_entries->prepend(entry);
    if (m_entries->size() > RoutingHistoryFile::limit)
        m_entries->resize(RoutingHistoryFile::limit);
    scheduleWrite();
    Q_EMIT changed();
}

void RoutingHistory::clear() {
    m_entries = QList<RoutingHistoryEntry>();
    scheduleWrite();
    Q_EMIT changed();
}

void RoutingHistory::scheduleWrite() {
    // The files of one request are recorded together: one write after them.
    if (m_writeScheduled)
        return;
    m_writeScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_writeScheduled = false;
        // The destructor waits for the writer; the report back is dropped with
        // its receiver.
        m_writer.start([this, path = m_filePath, snapshot = entries()] {
            QString error;
            if (RoutingHistoryFile::write(path, snapshot, error))
                return;
            QMetaObject::invokeMethod(this, [this, path, error] {
                if (std::exchange(m_reportedFailure, true))
                    return;
                qWarning().noquote() << "Could not write the history to" << path << ":" << error;
            });
        });
    });
}

void RoutingHistory::waitForWrites() {
    if (m_writeScheduled) {
        m_writeScheduled = false;
        m_writer.start([path = m_filePath, snapshot = entries()] {
            QString ignored;
            RoutingHistoryFile::write(path, snapshot, ignored);
        });
    }
    m_writer.waitForDone();
}
