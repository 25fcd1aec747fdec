#include "core/settings/ConditionRowDraft.h"

#include <QRegularExpression>

namespace {
bool isStringKind(PredicateKind kind) {
    return kind == PredicateKind::fileName || kind == PredicateKind::fileExtension;
}

bool isEqualityKind(PredicateKind kind) {
    return kind == PredicateKind::parentFolder || kind == PredicateKind::creatorApp;
}

template <typename E, std::size_t N>
int indexIn(const std::array<E, N>& cases, const std::optional<E>& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (value && cases[i] == *value)
            return int(i);
    }
    return 0;
}

template <typename E, std::size_t N> E caseAt(const std::array<E, N>& cases, int index) {
    return index >= 0 && std::size_t(index) < N ? cases[std::size_t(index)] : cases[0];
}
} // namespace

ConditionRowDraft ConditionRowDraft::newCondition() {
    ConditionRowDraft row;
    row.id = makeRuleIdentifier();
    row.kind = PredicateKind::fileName;
    row.operatorIndex = indexIn(allStringMatchOperators,
                                std::optional<StringMatchOperator>(StringMatchOperator::contains));
    return row;
}

ConditionRowDraft ConditionRowDraft::fromPredicate(const Predicate& predicate,
                                                   const QString& appName) {
    ConditionRowDraft row;
    row.id = predicate.id;
    row.kind = predicate.kind;
    if (isStringKind(predicate.kind))
        row.operatorIndex = indexIn(allStringMatchOperators, predicate.stringOperator);
    else if (isEqualityKind(predicate.kind))
        row.operatorIndex = indexIn(allEqualityOperators, predicate.equalityOperator);
    else if (predicate.kind == PredicateKind::runningEditors)
        row.operatorIndex = indexIn(allComparisonOperators, predicate.comparisonOperator);
    row.valueText = predicate.stringValue.value_or(QString());
    row.folderPath = predicate.folderPath.value_or(QString());
    row.appBundleID = predicate.bundleID.value_or(QString());
    row.appName = appName.isEmpty() ? row.appBundleID : appName;
    if (predicate.kind == PredicateKind::runningEditors)
        row.countText = predicate.countValue ? QString::number(*predicate.countValue) : QString();
    return row;
}

QList<PredicateKind> ConditionRowDraft::kinds() {
    return {PredicateKind::fileName,   PredicateKind::fileExtension, PredicateKind::parentFolder,
            PredicateKind::creatorApp, PredicateKind::hotkey,        PredicateKind::runningEditors};
}

QStringList ConditionRowDraft::kindTitles() {
    return {QStringLiteral("File name"),     QStringLiteral("File extension"),
            QStringLiteral("Parent folder"), QStringLiteral("Creator App"),
            QStringLiteral("Hotkey"),        QStringLiteral("Running editors")};
}

QStringList ConditionRowDraft::operatorTitles(PredicateKind kind) {
    if (isStringKind(kind))
        return {QStringLiteral("is"), QStringLiteral("is not"), QStringLiteral("contains")};
    if (isEqualityKind(kind))
        return {QStringLiteral("is"), QStringLiteral("is not")};
    if (kind == PredicateKind::runningEditors)
        return {QStringLiteral("is"), QStringLiteral("less than"), QStringLiteral("greater than")};
    return {};
}

void ConditionRowDraft::setKind(PredicateKind newKind) {
    if (newKind == kind)
        return;
    kind = newKind;
    operatorIndex = 0;
}

std::optional<Predicate> ConditionRowDraft::build(const QString& hotkeyName,
                                                  bool hotkeyRecorded) const {
    Predicate predicate;
    predicate.id = makeRuleIdentifier();
    predicate.kind = kind;
    switch (kind) {
    case PredicateKind::fileName:
    case PredicateKind::fileExtension:
        predicate.stringOperator = caseAt(allStringMatchOperators, operatorIndex);
        predicate.stringValue = valueText;
        return predicate;
    case PredicateKind::parentFolder:
        if (folderPath.isEmpty())
            return std::nullopt;
        predicate.equalityOperator = caseAt(allEqualityOperators, operatorIndex);
        predicate.folderPath = folderPath;
        return predicate;
    case PredicateKind::creatorApp:
        if (appBundleID.isEmpty())
            return std::nullopt;
        predicate.equalityOperator = caseAt(allEqualityOperators, operatorIndex);
        predicate.bundleID = appBundleID;
        if (!valueText.isEmpty())
            predicate.stringValue = valueText;
        return predicate;
    case PredicateKind::hotkey:
        if (!hotkeyRecorded)
            return std::nullopt;
        predicate.hotkeyName = hotkeyName;
        return predicate;
    case PredicateKind::runningEditors:
        predicate.comparisonOperator = caseAt(allComparisonOperators, operatorIndex);
        predicate.countValue = parseDecimalCount(countText);
        return predicate;
    }
    return std::nullopt;
}

std::optional<qint64> parseDecimalCount(const QString& text) {
    static const QRegularExpression decimal(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?[0-9]+")));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}
