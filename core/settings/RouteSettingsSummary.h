#pragma once

#include "core/model/Route.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the settings window derives from a route, apart from its widgets.
namespace RouteSettingsSummary {
// ".md, .markdown · net.daringfireball.markdown · 2 editors · 3 rules"
QString metaLine(const Route& route);
// The enabled editors as pickers order them: the preference order first, then the rest.
QList<Editor> orderedEnabledEditors(const Route& route);
// The route to show after a reload: the selected one while it exists, else the first.
std::optional<QString> resolveSelection(const QList<Route>& routes,
                                        const std::optional<QString>& selected);
// `ids` with the item at `from` moved into the gap `gap` (counted before the move);
// unchanged when either is out of range.
QStringList movedToGap(QStringList ids, qsizetype from, qsizetype gap);
// A row of a list as the window showed it (`shown`), dragged from `from` into
// the gap `gap`, found again by id in the list as it is now (`current`): the
// row and gap there. None when the row is gone, or the row it was dropped
// before is; a drop at the end stays at the end.
struct Move {
    qsizetype from = 0;
    qsizetype gap = 0;
};
std::optional<Move> moveByID(const QStringList& shown, qsizetype from, qsizetype gap,
                             const QStringList& current);
// Whether a drop of a row of a `rows`-long list may land at `gap`. `lastGap` is
// the last accepted gap (the rules table stops before its Default Rule row).
bool acceptsGap(qsizetype gap, qsizetype lastGap);
// The route's terminal (what the terminal pop-up selects).
QString terminalBundleID(const Route& route);
// The pop-up's entries: the installed known terminals, then the route's own
// terminal when it is not among them.
QStringList terminalChoices(const Route& route, const QStringList& installedKnownTerminals);
} // namespace RouteSettingsSummary
