#pragma once

#include "core/engine/OpenContext.h"
#include "core/engine/Rule.h"
#include "core/model/Route.h"

#include <QUrl>

// Test helpers that build rules, routes and contexts in one line each.
namespace RuleBuilders {

inline Predicate fileName(std::optional<StringMatchOperator> op, std::optional<QString> value) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = PredicateKind::fileName;
    p.stringOperator = op;
    p.stringValue = std::move(value);
    return p;
}

inline Predicate fileExtension(std::optional<StringMatchOperator> op,
                               std::optional<QString> value) {
    Predicate p = fileName(op, std::move(value));
    p.kind = PredicateKind::fileExtension;
    return p;
}

inline Predicate parentFolder(std::optional<EqualityOperator> op, std::optional<QString> folder) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = PredicateKind::parentFolder;
    p.equalityOperator = op;
    p.folderPath = std::move(folder);
    return p;
}

inline Predicate creatorApp(std::optional<EqualityOperator> op, std::optional<QString> bundleID,
                            std::optional<QString> name) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = PredicateKind::creatorApp;
    p.equalityOperator = op;
    p.bundleID = std::move(bundleID);
    p.stringValue = std::move(name);
    return p;
}

inline Predicate hotkey(std::optional<QString> name) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = PredicateKind::hotkey;
    p.hotkeyName = std::move(name);
    return p;
}

inline Predicate runningEditors(std::optional<ComparisonOperator> op, std::optional<qint64> count) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = PredicateKind::runningEditors;
    p.comparisonOperator = op;
    p.countValue = count;
    return p;
}

inline PredicateGroup group(PredicateGroupCombine combine, QList<Predicate> predicates,
                            QList<PredicateGroup> groups = {}) {
    return PredicateGroup{makeRuleIdentifier(), combine, std::move(predicates), std::move(groups)};
}

inline PredicateGroup allOf(QList<Predicate> predicates, QList<PredicateGroup> groups = {}) {
    return group(PredicateGroupCombine::and_, std::move(predicates), std::move(groups));
}

inline PredicateGroup anyOf(QList<Predicate> predicates, QList<PredicateGroup> groups = {}) {
    return group(PredicateGroupCombine::or_, std::move(predicates), std::move(groups));
}

inline RuleAction openIn(QStringList ids) {
    RuleAction action;
    action.kind = RuleActionKind::specificEditor;
    if (!ids.isEmpty())
        action.bundleID = ids.first();
    action.bundleIDs = ids.isEmpty() ? std::nullopt : std::optional(ids);
    return action;
}

inline RuleAction actionOf(RuleActionKind kind) {
    RuleAction action;
    action.kind = kind;
    return action;
}

inline Rule rule(PredicateGroup when, RuleAction action, bool enabled = true,
                 std::optional<QString> name = std::nullopt) {
    return Rule{makeRuleIdentifier(), std::move(name), enabled, std::move(when), std::move(action)};
}

// A predicate that holds for every file with a non-empty name.
inline Predicate always() {
    return fileName(StringMatchOperator::isNot, QString());
}

inline Predicate never() {
    return fileName(StringMatchOperator::contains, QString());
}

inline Editor editor(const QString& id, const QString& name, bool enabled = true) {
    return Editor{id, name, false, enabled, false, std::nullopt};
}

// Markdown with Typora, Zed and Code enabled, and Vim disabled.
inline Route markdownRoute() {
    Route r;
    r.id = "markdown";
    r.name = "Markdown";
    r.extensions = {"md"};
    r.editors = {editor("io.typora.Typora", "Typora"), editor("dev.zed.Zed", "Zed"),
                 editor("code", "Code"), editor("vim", "Vim", false)};
    r.defaultPreferenceOrder = {"io.typora.Typora", "dev.zed.Zed", "code"};
    r.normalizeUtilities();
    return r;
}

inline OpenContext contextFor(const QString& path) {
    OpenContext c;
    c.url = QUrl::fromLocalFile(path);
    const QString last = path.section(QLatin1Char('/'), -1);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    c.fileName = dot > 0 ? last.left(dot) : last;
    c.fileExtension = dot > 0 ? last.mid(dot + 1).toLower() : QString();
    c.parentPath = path.section(QLatin1Char('/'), 0, -2);
    return c;
}

inline QStringList idsOf(const QList<Editor>& editors) {
    QStringList ids;
    for (const Editor& e : editors)
        ids.append(e.bundleID);
    return ids;
}

} // namespace RuleBuilders
