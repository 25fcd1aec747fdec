#pragma once

#include <QString>
#include <optional>

// An application that can open a route's files.
struct Editor {
    QString bundleID;
    QString name;
    bool opensFolder = false;
    bool enabled = true;
    bool manual = false;
    // Trimmed, never empty when present.
    std::optional<QString> urlSchemeTemplate;
    bool operator==(const Editor&) const = default;
};
