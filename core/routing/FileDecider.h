#pragma once

#include "core/engine/OpenContext.h"
#include "core/engine/RoutingDecision.h"
#include "core/history/RoutingHistoryEntry.h"
#include "core/model/Route.h"
#include "core/routing/EditorGroup.h"

#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

class FileMetadata;
class RouteStore;
class RunningApplications;

// Everything routing decided about one file.
struct FileDecision {
    // None: no route takes the file's extension (it is offered for teaching).
    std::optional<Route> route;
    // The facts the rules saw; only for a file that has a route.
    std::optional<OpenContext> context;
    // Meaningful only for a file that has a route.
    RoutingDecision decision;
    // Whether the running editors were looked up: only when a rule or action
    // that could apply depends on them.
    bool runningEditorsConsulted = false;
};

// The decision for one file, made in one place for the open pipeline and for
// `corvanta explain`, so that what explain shows is what a double-click does.
class FileDecider {
public:
    FileDecider(const RouteStore& store, const RunningApplications& running,
                const FileMetadata& metadata);

    FileDecision decide(const QUrl& file, const std::optional<QSet<QString>>& activeHotkeyNames,
                        const std::optional<QString>& ruleReference) const;

    // Whether the decision for a file with these facts (running editors left
    // out) could come out differently depending on which editors run: a rule
    // that is reached before another matches counts running editors, or the
    // rule or Default Rule that applies picks the best running editor or only
    // offers running ones. Looking them up costs a walk over every process.
    static bool needsRunningEditors(const Route& route, const OpenContext& context,
                                    const std::optional<QString>& ruleReference);

private:
    const RouteStore& m_store;
    const RunningApplications& m_running;
    const FileMetadata& m_metadata;
};

// A file's history entry with its route and rule (none: the Default Rule)
// filled in; how it came and when are the recorder's.
RoutingHistoryEntry decidedEntry(const QUrl& url, const Route* route, const Rule* rule,
                                 RoutingHistoryEntry::Outcome outcome);
RoutingHistoryEntry::EditorRef editorRef(const Editor& editor);
// A file decided to open in `decision`'s editors: it joins each editor's group;
// its history entry.
RoutingHistoryEntry plannedOpen(const QUrl& url, const Route& route,
                                const RoutingDecision& decision, EditorGroups& groups);
