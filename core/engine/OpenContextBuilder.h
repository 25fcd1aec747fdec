#pragma once

#include "core/engine/OpenContext.h"
#include "core/model/Route.h"

#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

class FileMetadata;
class RunningApplications;

// Gathers the facts about one file that its route's rules are evaluated against.
class OpenContextBuilder {
public:
    OpenContextBuilder(const RunningApplications& running, const FileMetadata& metadata);

    OpenContext makeOpenContext(const QUrl& file, const Route& route,
                                const std::optional<QSet<QString>>& activeHotkeyNames) const;
    // The facts of the file alone: no running editors looked up.
    OpenContext makeFileFacts(const QUrl& file,
                              const std::optional<QSet<QString>>& activeHotkeyNames) const;
    // The route's enabled editors that run now.
    QSet<QString> runningEnabledBundleIDs(const Route& route) const;

private:
    const RunningApplications& m_running;
    const FileMetadata& m_metadata;
};
