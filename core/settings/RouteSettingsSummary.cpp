#include "core/settings/RouteSettingsSummary.h"

#include "core/engine/ActionResolver.h"
#include "core/pickers/UtilityPerformer.h"

#include <algorithm>

namespace RouteSettingsSummary {

namespace {
// "1 rules" reads as a slip; every route shows at least the Default Rule.
QString counted(qsizetype count, const char* noun) {
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(noun) +
           (count == 1 ? QString() : QStringLiteral("s"));
}
} // namespace

QString metaLine(const Route& route) {
    QStringList extensions;
    for (const QString& extension : route.extensions)
        extensions.append(QStringLiteral(".") + extension);
    const QString separator = QStringLiteral(" \u00b7 ");
    const QString dash = QStringLiteral("\u2014");
    return (extensions.isEmpty() ? dash : extensions.join(QStringLiteral(", "))) + separator +
           (route.probeIdentifiers.isEmpty() ? dash : route.probeIdentifiers.first()) + separator +
           counted(route.enabledEditors().size(), "editor") + separator +
           counted(route.rules.size() + 1, "rule");
}

QList<Editor> orderedEnabledEditors(const Route& route) {
    return ActionResolver::pickerEditorCandidates(route, RuleActionKind::selectFromAllEditors, {});
}

std::optional<QString> resolveSelection(const QList<Route>& routes,
                                        const std::optional<QString>& selected) {
    if (routes.isEmpty())
        return std::nullopt;
    if (selected) {
        for (const Route& route : routes) {
            if (route.id == *selected)
                return selected;
        }
    }
    return routes.first().id;
}

QStringList movedToGap(QStringList ids, qsizetype from, qsizetype gap) {
    if (from < 0 || from >= ids.size() || gap < 0 || gap > ids.size())
        return ids;
    const QString moved = ids.takeAt(from);
    // Gaps after `from` shift left by one once it is taken out.
    const qsizetype destination = std::clamp<qsizetype>(from < gap ? gap - 1 : gap, 0, ids.size());
    ids.insert(destination, moved);
    return ids;
}

std::optional<Move> moveByID(const QStringList& shown, qsizetype from, qsizetype gap,
                             const QStringList& current) {
    if (from < 0 || from >= shown.size() || gap < 0 || gap > shown.size())
        return std::nullopt;
    Move move;
    move.from = current.indexOf(shown.at(from));
    move.gap = gap < shown.size() ? current.indexOf(shown.at(gap)) : current.size();
    if (move.from < 0 || move.gap < 0)
        return std::nullopt;
    return move;
}

bool acceptsGap(qsizetype gap, qsizetype lastGap) {
    return gap >= 0 && gap <= lastGap;
}

QString terminalBundleID(const Route& route) {
    for (const PickerUtility& utility : route.utilities) {
        if (utility.kind == PickerUtilityKind::openParentInTerminal)
            return UtilityPerformer::terminalBundleID(utility);
    }
    return defaultTerminalBundleID();
}

QStringList terminalChoices(const Route& route, const QStringList& installedKnownTerminals) {
    QStringList choices = installedKnownTerminals;
    const QString current = terminalBundleID(route);
    if (!choices.contains(current))
        choices.append(current);
    return choices;
}

} // namespace RouteSettingsSummary
