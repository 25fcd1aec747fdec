#pragma once

#include "core/model/RoutesFileCodec.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

// Test helpers: a routes document using every key, edits of one value addressed like a
// decoding error path ("routes[0].editors[1].manual"; no value removes it), and decoding.
namespace JsonEdit {

inline const char documentText[] =
    R"({"version": 2, "routes": [{"id": "markdown", "name": "Markdown",
  "extensions": ["md", "markdown"], "probeIdentifiers": ["net.daringfireball.markdown"],
  "editors": [{"bundleID": "com.a", "name": "Alpha", "opensFolder": false, "enabled": true,
               "manual": false, "urlSchemeTemplate": "alpha://open?path={path}"},
    {"bundleID": "com.b", "name": "Beta", "opensFolder": true, "enabled": false, "manual": true}],
  "activeBundleID": "com.a", "defaultPreferenceOrder": ["com.a"], "isCustom": true,
  "pathRules": [{"pathPrefix": "/srv/notes", "bundleID": "com.a"}],
  "defaultActionKind": "selectFromAllEditors", "defaultOpenBundleIDs": ["com.a"],
  "utilities": [{"kind": "copyPOSIXPath", "enabled": true}, {"kind": "revealInFinder",
    "enabled": false}, {"kind": "openParentInTerminal", "enabled": true, "terminalBundleID": "k"}],
  "enabledShortcuts": [{"id": "S1", "name": "Make PDF"}],
  "enabledServices": [{"id": "V1", "name": "Word Count"}],
  "enabledScripts": [{"relativePath": "tools/lint.sh", "name": "Lint"}],
  "rules": [{"id": "R0", "enabled": true, "action": {"kind": "bestRunningEditor"},
             "when": {"id": "G0", "combine": "or", "predicates": [], "groups": []}},
    {"id": "R1", "name": "Drafts", "enabled": false, "when": {"id": "G1", "combine": "and",
     "predicates": [
       {"id": "P0", "kind": "fileName", "stringOperator": "contains", "stringValue": "draft"},
       {"id": "P1", "kind": "parentFolder", "equalityOperator": "isNot", "folderPath": "~/x"},
       {"id": "P2", "kind": "runningEditors", "comparisonOperator": "greaterThan", "countValue": 2}],
     "groups": [{"id": "G2", "combine": "or", "groups": [], "predicates": [
       {"id": "P3", "kind": "creatorApp", "bundleID": "com.a", "stringValue": "A"},
       {"id": "P4", "kind": "hotkey", "hotkeyName": "rule-R1"}]}]},
     "action": {"kind": "specificEditor", "bundleID": "com.a", "bundleIDs": ["com.a", "com.b"],
                "preferenceOrder": []}}]},
  {"id": "plaintext", "name": "Plain Text"}]})";

// An absent value removes the addressed key or element.
inline QJsonValue edited(const QJsonValue& node, QStringList steps,
                         const std::optional<QJsonValue>& value) {
    const QString step = steps.takeFirst();
    const bool last = steps.isEmpty();
    if (step.startsWith('[')) {
        QJsonArray array = node.toArray();
        const int i = step.mid(1).chopped(1).toInt();
        if (last && !value)
            array.removeAt(i);
        else
            array[i] = last ? *value : edited(array.at(i), steps, value);
        return array;
    }
    QJsonObject object = node.toObject();
    if (last && !value)
        object.remove(step);
    else
        object[step] = last ? *value : edited(object.value(step), steps, value);
    return object;
}

inline QJsonObject set(const QJsonObject& root, QString path, const QJsonValue& value) {
    return edited(root, path.replace('[', ".[").split('.', Qt::SkipEmptyParts), value).toObject();
}

inline QJsonObject remove(const QJsonObject& root, QString path) {
    return edited(root, path.replace('[', ".[").split('.', Qt::SkipEmptyParts), {}).toObject();
}

inline QJsonObject parse(const char* json) {
    return QJsonDocument::fromJson(json).object();
}

inline QJsonObject document() {
    return parse(documentText);
}

inline QByteArray bytes(const QJsonObject& root) {
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

inline QString decodeError(const QByteArray& text) {
    const auto result = RoutesFileCodec::decode(text);
    const auto* error = std::get_if<DecodeError>(&result);
    return error ? error->description() : QStringLiteral("<decoded>");
}

inline QString decodeError(const QJsonObject& root) {
    return decodeError(bytes(root));
}

inline RouteStoreState decodeOk(const QJsonObject& root) {
    EXPECT_EQ(decodeError(root), "<decoded>");
    const auto result = RoutesFileCodec::decode(bytes(root));
    const auto* state = std::get_if<RouteStoreState>(&result);
    return state ? *state : RouteStoreState();
}

} // namespace JsonEdit
