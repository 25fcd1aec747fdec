#include "core/settings/RuleDraft.h"

#include <QFileInfo>

RuleDraft RuleDraft::forNewRule(const Route& route, const QString& homePath) {
    RuleDraft draft;
    draft.id = makeRuleIdentifier();
    draft.isNew = true;
    ConditionRowDraft home;
    home.id = makeRuleIdentifier();
    home.kind = PredicateKind::parentFolder;
    home.folderPath = homePath;
    draft.rows.append(home);
    draft.actionKind = RuleActionKind::defaultEditor;
    draft.preferenceOrder = route.defaultPreferenceOrder;
    return draft;
}

RuleDraft RuleDraft::forChoice(const Route& route, const QString& folder, const QString& bundleID) {
    RuleDraft draft = forNewRule(route, folder);
    draft.nameText = QFileInfo(folder).fileName();
    draft.actionKind = RuleActionKind::specificEditor;
    draft.checkedBundleIDs = {bundleID};
    return draft;
}

RuleDraft RuleDraft::fromRule(const Rule& rule, const Route& route) {
    RuleDraft draft;
    draft.id = rule.id;
    draft.isNew = false;
    draft.enabled = rule.enabled;
    draft.nameText = rule.name.value_or(QString());
    draft.combine = rule.when.combine;
    for (const Predicate& predicate : rule.when.predicates) {
        QString appName;
        if (predicate.bundleID) {
            for (const Editor& editor : route.editors) {
                if (editor.bundleID == *predicate.bundleID)
                    appName = editor.name;
            }
        }
        draft.rows.append(ConditionRowDraft::fromPredicate(predicate, appName));
    }
    draft.nestedGroups = rule.when.groups;
    draft.actionKind = rule.action.kind;
    draft.checkedBundleIDs = rule.action.effectiveBundleIDs();
    draft.preferenceOrder = rule.action.preferenceOrder.value_or(route.defaultPreferenceOrder);
    return draft;
}

QString RuleDraft::windowTitle() const {
    return isNew ? QStringLiteral("Add Rule") : QStringLiteral("Edit Rule");
}

std::optional<Rule> RuleDraft::build(const QStringList& checkedInListOrder,
                                     bool hotkeyRecorded) const {
    QList<Predicate> predicates;
    for (const ConditionRowDraft& row : rows) {
        if (std::optional<Predicate> predicate = row.build(hotkeyName(), hotkeyRecorded))
            predicates.append(*predicate);
    }
    // A rule whose conditions all sit in kept nested groups still has conditions.
    if (predicates.isEmpty() && nestedGroups.isEmpty())
        return std::nullopt;

    RuleAction action;
    action.kind = actionKind;
    if (actionKind == RuleActionKind::specificEditor) {
        if (checkedInListOrder.isEmpty())
            return std::nullopt;
        action.bundleID = checkedInListOrder.first();
        action.bundleIDs = checkedInListOrder;
    } else if (actionKind == RuleActionKind::bestRunningEditor) {
        action.preferenceOrder = preferenceOrder;
    }

    Rule rule;
    rule.id = id;
    rule.enabled = enabled;
    const QString trimmed = nameText.trimmed();
    if (!trimmed.isEmpty())
        rule.name = trimmed;
    rule.when.id = makeRuleIdentifier();
    rule.when.combine = combine;
    rule.when.predicates = predicates;
    rule.when.groups = nestedGroups;
    rule.action = action;
    return rule;
}

QStringList RuleDraft::actionTitles() {
    return {QStringLiteral("Always open in\u2026"), QStringLiteral("Use best running editor"),
            QStringLiteral("Use default editor"), QStringLiteral("Select from all editors"),
            QStringLiteral("Select from running editors")};
}

QList<RuleActionKind> RuleDraft::actionKinds() {
    return {RuleActionKind::specificEditor, RuleActionKind::bestRunningEditor,
            RuleActionKind::defaultEditor, RuleActionKind::selectFromAllEditors,
            RuleActionKind::selectFromRunningEditors};
}
