#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

// Which installed desktop entries start which program, script, snap or Flatpak
// application, kept between calls and rebuilt when the applications folders
// change. Built from GIO's entries.
class DesktopProgramIndex {
public:
    explicit DesktopProgramIndex(QString snapRoot = QStringLiteral("/snap"));
    ~DesktopProgramIndex();
    DesktopProgramIndex(const DesktopProgramIndex&) = delete;
    DesktopProgramIndex& operator=(const DesktopProgramIndex&) = delete;

    // Rebuilds the index when the applications folders changed since the last
    // rebuild; call once before a round of lookups.
    void refreshIfStale();
    // Bundle identifiers of the entries whose program (or script) is the file at
    // `canonicalPath`.
    QStringList bundleIDsForProgram(const QString& canonicalPath) const;
    QStringList bundleIDsForSnap(const QString& snap) const { return m_bySnap.value(snap); }
    QStringList bundleIDsForFlatpak(const QString& application) const {
        return m_byFlatpak.value(application);
    }
    // The entries whose StartupWMClass is `wmClass`.
    QStringList bundleIDsForStartupWMClass(const QString& wmClass) const {
        return m_byStartupWMClass.value(wmClass);
    }
    // Every installed entry's bundle identifier.
    const QSet<QString>& bundleIDs() const { return m_ids; }
    // Forces a rebuild at the next query.
    void invalidate() { m_valid = false; }
    // How many times the index was built (a rebuild costs a read of every entry).
    int rebuildCount() const { return m_rebuilds; }

private:
    using FolderStamp = std::pair<QString, qint64>;
    QList<FolderStamp> folderStamps() const;
    void rebuild();

    QString m_snapRoot;
    QHash<QString, QStringList> m_byProgram;
    QHash<QString, QStringList> m_bySnap;
    QHash<QString, QStringList> m_byFlatpak;
    QHash<QString, QStringList> m_byStartupWMClass;
    QSet<QString> m_ids;
    QList<FolderStamp> m_stamps;
    QStringList m_subfolders;
    bool m_valid = false;
    int m_rebuilds = 0;
    void* m_monitor = nullptr;
    unsigned long m_handler = 0;
};
