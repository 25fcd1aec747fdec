#include "core/settings/DefaultRuleDraft.h"

DefaultRuleDraft DefaultRuleDraft::forRoute(const Route& route) {
    DefaultRuleDraft draft;
    draft.mode = modeFor(route.defaultActionKind);
    if (route.defaultOpenBundleIDs && !route.defaultOpenBundleIDs->isEmpty())
        draft.checkedBundleIDs = *route.defaultOpenBundleIDs;
    else if (route.activeBundleID)
        draft.checkedBundleIDs = QStringList{*route.activeBundleID};
    draft.fallbackBundleID = route.activeBundleID;
    return draft;
}

RuleActionKind DefaultRuleDraft::modeFor(RuleActionKind kind) {
    if (kind == RuleActionKind::selectFromAllEditors ||
        kind == RuleActionKind::selectFromRunningEditors)
        return kind;
    return RuleActionKind::specificEditor;
}

QStringList DefaultRuleDraft::modeTitles() {
    return {QStringLiteral("Always open in\u2026"), QStringLiteral("Select from all editors"),
            QStringLiteral("Select from running editors")};
}

QList<RuleActionKind> DefaultRuleDraft::modeKinds() {
    return {RuleActionKind::specificEditor, RuleActionKind::selectFromAllEditors,
            RuleActionKind::selectFromRunningEditors};
}

QString DefaultRuleDraft::editorLabel(RuleActionKind mode) {
    return modeFor(mode) == RuleActionKind::specificEditor ? QStringLiteral("Always open in\u2026")
                                                           : QStringLiteral("Fallback editor:");
}

bool DefaultRuleDraft::canSave(RuleActionKind mode, const QStringList& checked,
                               qsizetype offeredEditors) {
    if (modeFor(mode) == RuleActionKind::specificEditor)
        return !checked.isEmpty();
    return offeredEditors > 0;
}

std::optional<DefaultRuleDraft::Result>
DefaultRuleDraft::result(RuleActionKind mode, const QStringList& checked,
                         const std::optional<QString>& fallback) {
    const RuleActionKind kind = modeFor(mode);
    if (kind == RuleActionKind::specificEditor) {
        if (checked.isEmpty())
            return std::nullopt;
        return Result{kind, checked};
    }
    if (!fallback || fallback->isEmpty())
        return std::nullopt;
    return Result{kind, QStringList{*fallback}};
}
