#pragma once

#include "core/platform/RunningApplications.h"
#include "platform/linux/DesktopProgramIndex.h"

// The user's running applications as desktop IDs: processes whose executable is
// an entry's program (or whose interpreter runs an entry's script), processes of
// snaps and Flatpak instances, and GApplication names on the session bus. The
// entries are indexed once and re-read only when the applications folders change.
class ProcRunningApplications : public RunningApplications {
public:
    // `snapRoot` is where snaps are mounted (their commands in its "bin").
    explicit ProcRunningApplications(QString procRoot = QStringLiteral("/proc"),
                                     QString snapRoot = QStringLiteral("/snap"));
    QSet<QString> runningBundleIDs() const override;

private:
    void addProcessApplications(QSet<QString>& ids) const;
    void addBusApplications(QSet<QString>& ids) const;

    QString m_procRoot;
    QString m_snapRoot;
    mutable DesktopProgramIndex m_index;
};
