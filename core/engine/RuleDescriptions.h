#pragma once

#include "core/model/Route.h"
#include "core/model/Rule.h"

#include <QList>
#include <QString>
#include <QStringList>

class ShortcutRegistry;

// The one-line texts in which rules and the Default Rule are shown to the user.
class RuleDescriptions {
public:
    explicit RuleDescriptions(const ShortcutRegistry& shortcuts);

    // The rule's name when it has one, else "<conditions> → <action>".
    QString ruleSummary(const Rule& rule, const QList<Editor>& editors) const;
    QString conditionSummary(const PredicateGroup& group) const;
    QString predicateSummary(const Predicate& predicate) const;

    static QString actionSummary(const RuleAction& action, const QList<Editor>& editors);
    // Editor names for the identifiers: "?", "A", "A, B" or "A + 2 more".
    static QString editorListSummary(const QStringList& bundleIDs, const QList<Editor>& editors);
    static QString defaultRuleSummary(const Route& route);
    // Replaces the home folder at the start of `path` with "~".
    static QString abbreviatingWithTilde(const QString& path);

private:
    const ShortcutRegistry& m_shortcuts;
};
