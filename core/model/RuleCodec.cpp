#include "core/model/RuleCodec.h"

#include "core/model/JsonNode.h"

#include <QJsonArray>

namespace {
template <typename E> std::function<std::optional<E>(const QString&)> parser() {
    return [](const QString& name) { return fromString<E>(name); };
}

template <typename E> E requiredEnum(const JsonNode& node, const QString& key) {
    return node.requiredEnum<E>(key, parser<E>());
}

QJsonArray toArray(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

template <typename T> void putOptional(QJsonObject& object, const QString& key, const T& value) {
    if (value)
        object.insert(key, *value);
}

const QString retiredPredicateKind = QStringLiteral("modifierHeld");
} // namespace

namespace RuleCodec {

std::optional<Predicate> decodePredicate(const JsonNode& node) {
    const QString kindName = node.requiredString(QStringLiteral("kind"));
    if (kindName == retiredPredicateKind)
        return std::nullopt;
    Predicate p;
    p.kind = requiredEnum<PredicateKind>(node, QStringLiteral("kind"));
    p.id = node.requiredString(QStringLiteral("id"));
    p.stringOperator = node.optionalEnum<StringMatchOperator>(QStringLiteral("stringOperator"),
                                                              parser<StringMatchOperator>());
    p.equalityOperator = node.optionalEnum<EqualityOperator>(QStringLiteral("equalityOperator"),
                                                             parser<EqualityOperator>());
    p.comparisonOperator = node.optionalEnum<ComparisonOperator>(
        QStringLiteral("comparisonOperator"), parser<ComparisonOperator>());
    p.stringValue = node.optionalString(QStringLiteral("stringValue"));
    p.folderPath = node.optionalString(QStringLiteral("folderPath"));
    p.bundleID = node.optionalString(QStringLiteral("bundleID"));
    p.hotkeyName = node.optionalString(QStringLiteral("hotkeyName"));
    p.countValue = node.optionalInt64(QStringLiteral("countValue"));
    return p;
}

PredicateGroup decodeGroup(const JsonNode& node) {
    PredicateGroup group;
    group.id = node.requiredString(QStringLiteral("id"));
    group.combine = requiredEnum<PredicateGroupCombine>(node, QStringLiteral("combine"));
    const auto safe =
        node.requiredList<std::optional<Predicate>>(QStringLiteral("predicates"), decodePredicate);
    for (const auto& predicate : safe) {
        if (predicate)
            group.predicates.append(*predicate);
    }
    group.groups = node.list<PredicateGroup>(QStringLiteral("groups"), decodeGroup);
    return group;
}

RuleAction decodeAction(const JsonNode& node) {
    RuleAction action;
    action.kind = requiredEnum<RuleActionKind>(node, QStringLiteral("kind"));
    action.bundleID = node.optionalString(QStringLiteral("bundleID"));
    action.preferenceOrder = node.optionalStringList(QStringLiteral("preferenceOrder"));
    const QStringList list =
        node.optionalStringList(QStringLiteral("bundleIDs")).value_or(QStringList());
    if (list.isEmpty()) {
        action.bundleIDs =
            action.bundleID ? std::optional(QStringList{*action.bundleID}) : std::nullopt;
    } else {
        action.bundleIDs = list;
        if (!action.bundleID)
            action.bundleID = list.first();
    }
    return action;
}

Rule decodeRule(const JsonNode& node) {
    Rule rule;
    rule.id = node.requiredString(QStringLiteral("id"));
    rule.name = node.optionalString(QStringLiteral("name"));
    rule.enabled = node.requiredBool(QStringLiteral("enabled"));
    rule.when = decodeGroup(node.child(QStringLiteral("when")));
    rule.action = decodeAction(node.child(QStringLiteral("action")));
    return rule;
}

QJsonObject encode(const Predicate& p) {
    QJsonObject o{{QStringLiteral("id"), p.id}, {QStringLiteral("kind"), toString(p.kind)}};
    if (p.stringOperator)
        o.insert(QStringLiteral("stringOperator"), toString(*p.stringOperator));
    if (p.equalityOperator)
        o.insert(QStringLiteral("equalityOperator"), toString(*p.equalityOperator));
    if (p.comparisonOperator)
        o.insert(QStringLiteral("comparisonOperator"), toString(*p.comparisonOperator));
    putOptional(o, QStringLiteral("stringValue"), p.stringValue);
    putOptional(o, QStringLiteral("folderPath"), p.folderPath);
    putOptional(o, QStringLiteral("bundleID"), p.bundleID);
    putOptional(o, QStringLiteral("hotkeyName"), p.hotkeyName);
    putOptional(o, QStringLiteral("countValue"), p.countValue);
    return o;
}

QJsonObject encode(const PredicateGroup& group) {
    QJsonArray predicates;
    for (const Predicate& p : group.predicates)
        predicates.append(encode(p));
    QJsonArray groups;
    for (const PredicateGroup& g : group.groups)
        groups.append(encode(g));
    return {{QStringLiteral("id"), group.id},
            {QStringLiteral("combine"), toString(group.combine)},
            {QStringLiteral("predicates"), predicates},
            {QStringLiteral("groups"), groups}};
}

QJsonObject encode(const RuleAction& action) {
    QJsonObject o{{QStringLiteral("kind"), toString(action.kind)}};
    const QStringList effective = action.effectiveBundleIDs();
    if (action.kind == RuleActionKind::specificEditor && !effective.isEmpty()) {
        o.insert(QStringLiteral("bundleID"), effective.first());
        o.insert(QStringLiteral("bundleIDs"), toArray(effective));
    } else {
        putOptional(o, QStringLiteral("bundleID"), action.bundleID);
        if (action.bundleIDs)
            o.insert(QStringLiteral("bundleIDs"), toArray(*action.bundleIDs));
    }
    if (action.preferenceOrder)
        o.insert(QStringLiteral("preferenceOrder"), toArray(*action.preferenceOrder));
    return o;
}

QJsonObject encode(const Rule& rule) {
    QJsonObject o{{QStringLiteral("id"), rule.id},
                  {QStringLiteral("enabled"), rule.enabled},
                  {QStringLiteral("when"), encode(rule.when)},
                  {QStringLiteral("action"), encode(rule.action)}};
    putOptional(o, QStringLiteral("name"), rule.name);
    return o;
}

} // namespace RuleCodec
