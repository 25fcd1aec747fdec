#pragma once

#include "core/model/Route.h"
#include "core/model/Rule.h"
#include "core/pickers/PickerChoice.h"

#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class Preferences;
class ScreenReader;

// Turns the action that applies to a file into editors, or into what a picker offers.
namespace ActionResolver {
// The editors to open the file in, in order; none matched means the Default Rule.
// Falls back to the route's active editor, and is empty when there is none.
QList<Editor> resolveEditors(const Route& route, const std::optional<Rule>& matched,
                             const QSet<QString>& runningEnabledBundleIDs);
// The editors a picker offers: the route's preference order first, then stored order.
QList<Editor> pickerEditorCandidates(const Route& route, RuleActionKind pickingKind,
                                     const QSet<QString>& runningBundleIDsNow);
QString pickerTitle(const Route& route, RuleActionKind pickingKind);
PickerStyle pickerStyle(const Preferences& preferences, const ScreenReader& screenReader);
} // namespace ActionResolver
