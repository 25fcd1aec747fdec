#pragma once

#include "core/engine/OpenContext.h"
#include "core/engine/RoutingDecision.h"
#include "core/model/Route.h"
#include "core/pickers/PickerChoice.h"
#include "core/platform/Platform.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

class RouteStore;

// What routing would do with one file, with the facts that led there.
struct FileExplanation {
    enum class Outcome { open, picker, noEditor, unrouted, ruleNotFound };

    QUrl url;
    Outcome outcome = Outcome::unrouted;
    std::optional<Route> route;
    // Gathered only for a file that has a route.
    std::optional<OpenContext> context;
    // Whether the decision needed the running editors (otherwise the context has none).
    bool runningEditorsConsulted = false;
    // The rule that applied; none for the Default Rule or when nothing applied.
    std::optional<Rule> rule;
    // For `open`: the editors, in order.
    QList<Editor> editors;
    // For `picker`.
    QString pickerTitle;
    PickerStyle pickerStyle = PickerStyle::radial;
    QList<PickerChoice> pickerEntries;

    static QString toString(Outcome outcome);
};

// Runs the routing decision for files without opening anything (the same
// decision the open pipeline makes): the route by extension, the facts, the
// rule, and the editors or the picker it leads to.
class FileExplainer {
public:
    FileExplainer(const RouteStore& store, const Platform& platform);

    FileExplanation explain(const QUrl& file, const std::optional<QString>& ruleReference,
                            const std::optional<QSet<QString>>& activeHotkeyNames) const;

private:
    const RouteStore& m_store;
    Platform m_platform;
};
