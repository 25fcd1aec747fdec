#pragma once

#include "core/model/Route.h"
#include "core/settings/ConditionRowDraft.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The rule being edited in the rule editor, as plain data: what the sheet shows
// and the rules by which Save turns it into a rule.
struct RuleDraft {
    QString id;
    bool enabled = true;
    bool isNew = true;
    QString nameText;
    PredicateGroupCombine combine = PredicateGroupCombine::and_;
    QList<ConditionRowDraft> rows;
    // Groups inside the rule's top group. The sheet cannot show them (only a
    // hand-edited file holds them); they are saved back unchanged.
    QList<PredicateGroup> nestedGroups;
    RuleActionKind actionKind = RuleActionKind::defaultEditor;
    // Initially ticked editors of "Always open in…".
    QStringList checkedBundleIDs;
    QStringList preferenceOrder;
    std::optional<QStringList> pendingDefaultPreferenceOrder;

    // A new rule: one parent-folder condition on `homePath`, the default editor.
    static RuleDraft forNewRule(const Route& route, const QString& homePath);
    static RuleDraft fromRule(const Rule& rule, const Route& route);
    // A new rule from a picker choice: "Parent folder is" `folder`, always
    // opening in `bundleID`, named after the folder.
    static RuleDraft forChoice(const Route& route, const QString& folder, const QString& bundleID);

    QString hotkeyName() const { return QStringLiteral("rule-") + id; }
    QString windowTitle() const;

    // The finished rule, or none when Save must do nothing: no condition
    // results, or "Always open in…" with no editor in `checkedInListOrder`.
    std::optional<Rule> build(const QStringList& checkedInListOrder, bool hotkeyRecorded) const;

    // The menu titles of the actions, in menu order, and their kinds.
    static QStringList actionTitles();
    static QList<RuleActionKind> actionKinds();
};
