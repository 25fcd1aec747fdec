#include "core/engine/ActionResolver.h"

#include "core/platform/Preferences.h"
#include "core/platform/ScreenReader.h"

namespace {
QList<Editor> fallback(const Route& route) {
    if (const std::optional<Editor> active = route.activeEditor())
        return {*active};
    return {};
}

QList<Editor> openInListed(const Route& route, const QStringList& ids) {
    const QList<Editor> editors = editorsForBundleIDs(ids, route.enabledEditors());
    return editors.isEmpty() ? fallback(route) : editors;
}

QList<Editor> bestRunning(const Route& route, const QStringList& order,
                          const QSet<QString>& runningEnabledBundleIDs) {
    const QList<Editor> enabled = route.enabledEditors();
    for (const QString& id : order) {
        if (!runningEnabledBundleIDs.contains(id))
            continue;
        for (const Editor& editor : enabled) {
            if (editor.bundleID == id)
                return {editor};
        }
    }
    return fallback(route);
}

QStringList defaultRuleBundleIDs(const Route& route) {
    if (route.defaultOpenBundleIDs && !route.defaultOpenBundleIDs->isEmpty())
        return *route.defaultOpenBundleIDs;
    if (route.activeBundleID)
        return {*route.activeBundleID};
    return {};
}
} // namespace

namespace ActionResolver {

QList<Editor> resolveEditors(const Route& route, const std::optional<Rule>& matched,
                             const QSet<QString>& runningEnabledBundleIDs) {
    if (matched) {
        const RuleAction& action = matched->action;
        switch (action.kind) {
        case RuleActionKind::specificEditor:
            return openInListed(route, action.effectiveBundleIDs());
        case RuleActionKind::bestRunningEditor:
            return bestRunning(route, action.preferenceOrder.value_or(route.defaultPreferenceOrder),
                               runningEnabledBundleIDs);
        case RuleActionKind::defaultEditor:
        case RuleActionKind::selectFromAllEditors:
        case RuleActionKind::selectFromRunningEditors:
            return fallback(route);
        }
        return fallback(route);
    }
    switch (route.defaultActionKind) {
    case RuleActionKind::specificEditor:
    case RuleActionKind::bestRunningEditor:
    case RuleActionKind::defaultEditor:
        return openInListed(route, defaultRuleBundleIDs(route));
    case RuleActionKind::selectFromAllEditors:
    case RuleActionKind::selectFromRunningEditors:
        return fallback(route);
    }
    return fallback(route);
}

QList<Editor> pickerEditorCandidates(const Route& route, RuleActionKind pickingKind,
                                     const QSet<QString>& runningBundleIDsNow) {
    QList<Editor> base;
    for (const Editor& editor : route.enabledEditors()) {
        if (pickingKind != RuleActionKind::selectFromRunningEditors ||
            runningBundleIDsNow.contains(editor.bundleID))
            base.append(editor);
    }
    QList<Editor> ordered;
    QList<bool> taken(base.size(), false);
    for (const QString& id : route.defaultPreferenceOrder) {
        for (qsizetype i = 0; i < base.size(); ++i) {
            if (base.at(i).bundleID == id) {
                if (!taken.at(i)) {
                    taken[i] = true;
                    ordered.append(base.at(i));
                }
                break;
            }
        }
    }
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (!taken.at(i))
            ordered.append(base.at(i));
    }
    return ordered;
}

QString pickerTitle(const Route& route, RuleActionKind pickingKind) {
    if (pickingKind == RuleActionKind::selectFromRunningEditors)
        return QStringLiteral("Choose a running ") + route.name + QStringLiteral(" editor");
    return QStringLiteral("Choose a ") + route.name + QStringLiteral(" editor");
}

PickerStyle pickerStyle(const Preferences& preferences, const ScreenReader& screenReader) {
    if (preferences.string(PreferenceKeys::editorPickerStyle) == QLatin1String("list"))
        return PickerStyle::list;
    const bool forceRadial =
        preferences.boolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver).value_or(false);
    if (screenReader.isScreenReaderEnabled() && !forceRadial)
        return PickerStyle::list;
    return PickerStyle::radial;
}

} // namespace ActionResolver
