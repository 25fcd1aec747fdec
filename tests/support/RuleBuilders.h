#pragma once

#include "core/engine/OpenContext.h"
#include "core/model/PathExtension.h"
#include "core/model/Route.h"
#include "core/model/Rule.h"

#include <QUrl>

// Test helpers that build rules, routes and contexts in one line each.
namespace RuleBuilders {

using SO = StringMatchOperator;
using EO = EqualityOperator;
using CO = ComparisonOperator;
using Kind = RuleActionKind;
template <class T> using Opt = std::optional<T>;

// "a b c" as a list, and "" as an absent value: keeps table rows on one line.
inline QStringList list(const char* words) {
    return QString::fromUtf8(words).split(' ', Qt::SkipEmptyParts);
}
inline Opt<QString> opt(const char* text) {
    return *text ? Opt<QString>(QString::fromUtf8(text)) : std::nullopt;
}

// Predicate fields in order: id, kind, string/equality/comparison operator, string value,
// folder, bundle id, hotkey name, count.
inline Predicate fileName(Opt<SO> op, Opt<QString> value) {
    return {makeRuleIdentifier(), PredicateKind::fileName, op, {}, {}, value, {}, {}, {}, {}};
}

inline Predicate fileExtension(Opt<SO> op, Opt<QString> value) {
    return {makeRuleIdentifier(), PredicateKind::fileExtension, op, {}, {}, value, {}, {}, {}, {}};
}

inline Predicate parentFolder(Opt<EO> op, Opt<QString> folder) {
    return {makeRuleIdentifier(), PredicateKind::parentFolder, {}, op, {}, {}, folder, {}, {}, {}};
}

inline Predicate creatorApp(Opt<EO> op, Opt<QString> bundleID, Opt<QString> name) {
    return {
        makeRuleIdentifier(), PredicateKind::creatorApp, {}, op, {}, name, {}, bundleID, {}, {}};
}

inline Predicate hotkey(Opt<QString> name) {
    return {makeRuleIdentifier(), PredicateKind::hotkey, {}, {}, {}, {}, {}, {}, name, {}};
}

inline Predicate runningEditors(Opt<CO> op, Opt<qint64> count) {
    return {makeRuleIdentifier(), PredicateKind::runningEditors, {}, {}, op, {}, {}, {}, {}, count};
}

// The predicate without its id, to compare with one built here.
inline Predicate withoutID(Predicate p) {
    p.id.clear();
    return p;
}

// A predicate that holds for every file with a non-empty name, and one that never does.
inline const Predicate always = fileName(SO::isNot, QString());
inline const Predicate never = fileName(SO::contains, QString());

inline PredicateGroup allOf(QList<Predicate> predicates, QList<PredicateGroup> groups = {}) {
    return {makeRuleIdentifier(), PredicateGroupCombine::and_, predicates, groups};
}

inline PredicateGroup anyOf(QList<Predicate> predicates, QList<PredicateGroup> groups = {}) {
    return {makeRuleIdentifier(), PredicateGroupCombine::or_, predicates, groups};
}

inline RuleAction openIn(QStringList ids) {
    return {Kind::specificEditor, ids.isEmpty() ? Opt<QString>() : ids.first(),
            ids.isEmpty() ? Opt<QStringList>() : ids, std::nullopt};
}

inline RuleAction actionOf(Kind kind, Opt<QStringList> order = std::nullopt) {
    return {kind, std::nullopt, std::nullopt, order};
}

inline Rule rule(PredicateGroup when, RuleAction action, bool enabled = true,
                 Opt<QString> name = std::nullopt) {
    return Rule{makeRuleIdentifier(), name, enabled, when, action};
}

inline Editor editor(const QString& id, const QString& name, bool enabled = true) {
    return Editor{id, name, false, enabled, false, std::nullopt};
}

// Typora, Zed and Code enabled, Vim disabled; preference order as listed.
inline Route markdownRoute() {
    Route r;
    r.id = "markdown";
    r.name = "Markdown";
    r.editors = {editor("typora", "Typora"), editor("zed", "Zed"), editor("code", "Code"),
                 editor("vim", "Vim", false)};
    r.defaultPreferenceOrder = {"typora", "zed", "code"};
    return r;
}

inline OpenContext contextFor(const QString& path) {
    OpenContext c;
    c.url = QUrl::fromLocalFile(path);
    c.fileName = pathBaseName(path);
    c.fileExtension = pathExtension(path);
    c.parentPath = path.section('/', 0, -2);
    return c;
}

inline QStringList idsOf(const QList<Editor>& editors) {
    QStringList ids;
    for (const Editor& e : editors)
        ids.append(e.bundleID);
    return ids;
}

} // namespace RuleBuilders
