#pragma once

#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

// Facts about one file being routed; rules are evaluated against them.
struct OpenContext {
    QUrl url;
    QString fileName;
    QString fileExtension;
    QString parentPath;
    std::optional<QSet<QString>> activeHotkeyNames;
    QSet<QString> runningEnabledBundleIDs;
    std::optional<QString> creatorBundleID;
    std::optional<QString> creatorName;
    bool operator==(const OpenContext&) const = default;
};
