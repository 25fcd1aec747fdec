#pragma once

#include <QString>

// Legacy per-folder routing: read and converted to rules at load, never written.
struct PathRule {
    QString pathPrefix;
    QString bundleID;
    bool operator==(const PathRule&) const = default;
};
