#pragma once

#include "core/model/RuleEnums.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One leaf condition. One record serves every kind; each kind reads some fields.
struct Predicate {
    QString id;
    PredicateKind kind = PredicateKind::fileName;
    std::optional<StringMatchOperator> stringOperator;
    std::optional<EqualityOperator> equalityOperator;
    std::optional<ComparisonOperator> comparisonOperator;
    std::optional<QString> stringValue;
    std::optional<QString> folderPath;
    std::optional<QString> bundleID;
    std::optional<QString> hotkeyName;
    std::optional<qint64> countValue;
    bool operator==(const Predicate&) const = default;
};

// An AND/OR node of the condition tree.
struct PredicateGroup {
    QString id;
    PredicateGroupCombine combine = PredicateGroupCombine::and_;
    QList<Predicate> predicates;
    QList<PredicateGroup> groups;
    bool operator==(const PredicateGroup&) const = default;
};

struct RuleAction {
    RuleActionKind kind = RuleActionKind::specificEditor;
    std::optional<QString> bundleID;
    std::optional<QStringList> bundleIDs;
    std::optional<QStringList> preferenceOrder;
    bool operator==(const RuleAction&) const = default;

    // `bundleIDs` when present and non-empty, else [`bundleID`] when present, else empty.
    QStringList effectiveBundleIDs() const;
};

struct Rule {
    QString id;
    std::optional<QString> name;
    bool enabled = true;
    PredicateGroup when;
    RuleAction action;
    bool operator==(const Rule&) const = default;

    // The name used for this rule's global shortcut.
    QString hotkeyName() const { return QStringLiteral("rule-") + id; }
    // The hotkey names its conditions wait for, in order, each once.
    QStringList usedHotkeyNames() const;
};

// A fresh identifier for a rule, group or predicate: upper-case UUID without braces.
QString makeRuleIdentifier();
