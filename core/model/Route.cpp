#include "core/model/Route.h"

#include "core/platform/TypeSystem.h"

#include <QCollator>
#include <QMap>
#include <algorithm>

namespace {
QCollator nameCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

template <typename T> void stableSortByName(QList<T>& items) {
    const QCollator collator = nameCollator();
    std::stable_sort(items.begin(), items.end(), [&collator](const T& a, const T& b) {
        return collator.compare(a.name, b.name) < 0;
    });
}
} // namespace

void sortEditorsByName(QList<Editor>& editors) {
    stableSortByName(editors);
}
void sortRoutesByName(QList<Route>& routes) {
    stableSortByName(routes);
}

QList<Editor> editorsForBundleIDs(const QStringList& ids, const QList<Editor>& editors) {
    QList<Editor> result;
    for (const QString& id : ids) {
        auto it = std::find_if(editors.begin(), editors.end(),
                               [&id](const Editor& e) { return e.bundleID == id; });
        if (it != editors.end())
            result.append(*it);
    }
    return result;
}

QList<Editor> Route::enabledEditors() const {
    QList<Editor> result;
    std::copy_if(editors.begin(), editors.end(), std::back_inserter(result),
                 [](const Editor& e) { return e.enabled; });
    return result;
}

std::optional<Editor> Route::activeEditor() const {
    if (!activeBundleID)
        return std::nullopt;
    for (const Editor& e : editors) {
        if (e.bundleID == *activeBundleID)
            return e;
    }
    return std::nullopt;
}

QList<PickerUtility> Route::enabledUtilities() const {
    QList<PickerUtility> result;
    std::copy_if(utilities.begin(), utilities.end(), std::back_inserter(result),
                 [](const PickerUtility& u) { return u.enabled; });
    return result;
}

QSet<QString> Route::contentTypes(const TypeSystem& types) const {
    QSet<QString> result;
    for (const QString& ext : extensions) {
        if (auto type = types.typeForFilenameExtension(ext))
            result.insert(*type);
    }
    for (const QString& id : probeIdentifiers) {
        if (auto type = types.recognisedType(id))
            result.insert(*type);
    }
    return result;
}

bool Route::matchesTypeIdentifier(const std::optional<QString>& id, const TypeSystem& types) const {
    if (!id || id->isEmpty())
        return false;
    if (probeIdentifiers.contains(*id))
        return true;
    const auto canonical = types.recognisedType(*id);
    const QSet<QString> own = contentTypes(types);
    return own.contains(*id) || (canonical && own.contains(*canonical));
}

bool Route::isHTMLRoute() const {
    return hasExtension(QStringLiteral("html")) || hasExtension(QStringLiteral("htm")) ||
           probeIdentifiers.contains(QStringLiteral("public.html")) ||
           probeIdentifiers.contains(QStringLiteral("text/html"));
}

void Route::normalizeUtilities() {
    QMap<PickerUtilityKind, PickerUtility> byKind;
    for (const PickerUtility& u : utilities)
        byKind.insert(u.kind, u);
    QList<PickerUtility> result;
    for (PickerUtilityKind kind : allPickerUtilityKinds)
        result.append(byKind.value(kind, PickerUtility::makeDefault(kind)));
    utilities = result;
}

RuleActionKind Route::normalizedDefaultActionKind(std::optional<RuleActionKind> kind) {
    if (kind == RuleActionKind::selectFromAllEditors ||
        kind == RuleActionKind::selectFromRunningEditors)
        return *kind;
    return RuleActionKind::specificEditor;
}

void Route::normalizePreferenceOrder() {
    const QList<Editor> enabled = enabledEditors();
    QSet<QString> enabledIDs;
    for (const Editor& e : enabled)
        enabledIDs.insert(e.bundleID);

    QStringList kept;
    for (const QString& id : defaultPreferenceOrder) {
        if (enabledIDs.contains(id))
            kept.append(id);
    }
    QList<Editor> rest;
    for (const Editor& e : enabled) {
        if (!kept.contains(e.bundleID))
            rest.append(e);
    }
    sortEditorsByName(rest);
    QStringList restIDs;
    for (const Editor& e : rest)
        restIDs.append(e.bundleID);

    if (kept.isEmpty() && activeBundleID && enabledIDs.contains(*activeBundleID)) {
        kept.append(*activeBundleID);
        restIDs.removeAll(*activeBundleID);
    }
    defaultPreferenceOrder = kept + restIDs;
}

void Route::purgeEditorReferences(const QString& bundleID) {
    if (defaultOpenBundleIDs) {
        defaultOpenBundleIDs->removeAll(bundleID);
        if (defaultOpenBundleIDs->isEmpty())
            defaultOpenBundleIDs.reset();
    }
    for (Rule& rule : rules) {
        RuleAction& action = rule.action;
        if (action.kind == RuleActionKind::specificEditor) {
            QStringList ids = action.effectiveBundleIDs();
            ids.removeAll(bundleID);
            action.bundleIDs = ids.isEmpty() ? std::nullopt : std::optional(ids);
            action.bundleID = ids.isEmpty() ? std::nullopt : std::optional(ids.first());
            action.preferenceOrder.reset();
        } else if (action.preferenceOrder) {
            action.preferenceOrder->removeAll(bundleID);
        }
    }
}
