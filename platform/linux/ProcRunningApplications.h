#pragma once

#include "core/platform/RunningApplications.h"
#include "platform/linux/DesktopProgramIndex.h"

// The user's running applications as desktop IDs: processes whose executable is
// an entry's program, Flatpak instances, and GApplication names on the session
// bus. Cheap enough to ask for every routed file.
class ProcRunningApplications : public RunningApplications {
public:
    explicit ProcRunningApplications(QString procRoot = QStringLiteral("/proc"));
    QSet<QString> runningBundleIDs() const override;

private:
    void addProcessApplications(QSet<QString>& ids) const;
    void addBusApplications(QSet<QString>& ids) const;

    QString m_procRoot;
    mutable DesktopProgramIndex m_index;
};
