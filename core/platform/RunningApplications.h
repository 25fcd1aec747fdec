#pragma once

#include <QSet>
#include <QString>

// Applications of this user that run right now, as bundle identifiers.
class RunningApplications {
public:
    virtual ~RunningApplications() = default;
    virtual QSet<QString> runningBundleIDs() const = 0;
};
