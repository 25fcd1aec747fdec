#pragma once

#include "core/model/Rule.h"

#include <QString>
#include <QStringList>
#include <optional>

// What one condition row of the rule editor holds, independent of its widgets.
// Every field survives a change of kind, so switching back restores the input.
struct ConditionRowDraft {
    QString id;
    PredicateKind kind = PredicateKind::fileName;
    // Index into operatorTitles(kind).
    int operatorIndex = 0;
    QString valueText;
    QString folderPath;
    QString appBundleID;
    QString appName;
    QString countText = QStringLiteral("1");

    bool operator==(const ConditionRowDraft&) const = default;

    // The row "Add Condition" appends: file name contains "".
    static ConditionRowDraft newCondition();
    // A row showing a stored condition; `appName` names its creator app.
    static ConditionRowDraft fromPredicate(const Predicate& predicate, const QString& appName = {});

    static QStringList kindTitles();
    static QList<PredicateKind> kinds();
    // Operator titles of a kind, in the order of the stored cases; empty for hotkeys.
    static QStringList operatorTitles(PredicateKind kind);

    // Changes the kind; the operator goes back to the first of the new kind.
    void setKind(PredicateKind newKind);

    // The condition this row yields on save, with a fresh id; none when the row
    // is incomplete (no folder, no app, no recorded hotkey).
    std::optional<Predicate> build(const QString& hotkeyName, bool hotkeyRecorded) const;
};

// The text as a decimal integer with an optional sign; none for anything else.
std::optional<qint64> parseDecimalCount(const QString& text);
