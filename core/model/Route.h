#pragma once

#include "core/model/Editor.h"
#include "core/model/PathRule.h"
#include "core/model/PickerUtility.h"
#include "core/model/Rule.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class TypeSystem;

// Everything known about one file type.
struct Route {
    QString id;
    QString name;
    QStringList extensions;
    QStringList probeIdentifiers;
    QList<Editor> editors;
    std::optional<QString> activeBundleID;
    QList<Rule> rules;
    QStringList defaultPreferenceOrder;
    bool isCustom = false;
    std::optional<QList<PathRule>> pathRules;
    RuleActionKind defaultActionKind = RuleActionKind::specificEditor;
    std::optional<QStringList> defaultOpenBundleIDs;
    QList<PickerUtility> utilities;
    QList<EnabledExternalUtility> enabledShortcuts;
    QList<EnabledExternalUtility> enabledServices;
    QList<EnabledScriptUtility> enabledScripts;
    bool operator==(const Route&) const = default;

    QList<Editor> enabledEditors() const;
    std::optional<Editor> activeEditor() const;
    QList<PickerUtility> enabledUtilities() const;
    QSet<QString> contentTypes(const TypeSystem& types) const;
    bool matchesTypeIdentifier(const std::optional<QString>& id, const TypeSystem& types) const;
    bool isHTMLRoute() const;
    // Extensions are stored lower-case; a hand-edited "MD" still matches "md".
    bool hasExtension(const QString& extension) const {
        return extensions.contains(extension, Qt::CaseInsensitive);
    }

    void normalizeUtilities();
    void normalizePreferenceOrder();
    void purgeEditorReferences(const QString& bundleID);
    static RuleActionKind normalizedDefaultActionKind(std::optional<RuleActionKind> kind);
};

// For each id in order, the first editor with exactly that bundle id; unknown ids
// are skipped, repeated ids repeat the editor.
QList<Editor> editorsForBundleIDs(const QStringList& ids, const QList<Editor>& editors);

// Stable sorts by name with the locale's case-insensitive collation.
void sortEditorsByName(QList<Editor>& editors);
void sortRoutesByName(QList<Route>& routes);
