#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

// Which installed desktop entries start which program, kept between calls and
// rebuilt when the applications folders change. Built from GIO's entries.
class DesktopProgramIndex {
public:
    DesktopProgramIndex();
    ~DesktopProgramIndex();
    DesktopProgramIndex(const DesktopProgramIndex&) = delete;
    DesktopProgramIndex& operator=(const DesktopProgramIndex&) = delete;

    // Rebuilds the index when the applications folders changed since the last
    // rebuild; call once before a round of lookups.
    void refreshIfStale();
    // Bundle identifiers of the entries whose program is the executable at
    // `canonicalPath`.
    QStringList bundleIDsForProgram(const QString& canonicalPath) const;
    // Every installed entry's bundle identifier.
    const QSet<QString>& bundleIDs() const { return m_ids; }
    // Forces a rebuild at the next query.
    void invalidate() { m_valid = false; }

private:
    using FolderStamp = std::pair<QString, qint64>;
    QList<FolderStamp> folderStamps() const;
    void rebuild();

    QHash<QString, QStringList> m_byProgram;
    QSet<QString> m_ids;
    QList<FolderStamp> m_stamps;
    QStringList m_subfolders;
    bool m_valid = false;
    void* m_monitor = nullptr;
    unsigned long m_handler = 0;
};
