#include "core/engine/RuleDescriptions.h"

#include "core/platform/ShortcutRegistry.h"

#include <QDir>

namespace {
const QString arrow = QStringLiteral(" \u2192 ");
const QString openQuote = QStringLiteral("\u201C");
const QString closeQuote = QStringLiteral("\u201D");
const QString noEditorSelected = QStringLiteral("No Editor Selected");

QString operatorWord(std::optional<StringMatchOperator> op) {
    switch (op.value_or(StringMatchOperator::is)) {
    case StringMatchOperator::is:
        return QStringLiteral("is");
    case StringMatchOperator::isNot:
        return QStringLiteral("is not");
    case StringMatchOperator::contains:
        return QStringLiteral("contains");
    }
    return QStringLiteral("is");
}

QString operatorWord(std::optional<EqualityOperator> op) {
    return op.value_or(EqualityOperator::is) == EqualityOperator::isNot ? QStringLiteral("is not")
                                                                        : QStringLiteral("is");
}

QString operatorSymbol(std::optional<ComparisonOperator> op) {
    switch (op.value_or(ComparisonOperator::is)) {
    case ComparisonOperator::is:
        return QStringLiteral("is");
    case ComparisonOperator::lessThan:
        return QStringLiteral("<");
    case ComparisonOperator::greaterThan:
        return QStringLiteral(">");
    }
    return QStringLiteral("is");
}

QString quoted(const std::optional<QString>& value) {
    return openQuote + value.value_or(QString()) + closeQuote;
}

QString editorName(const QString& bundleID, const QList<Editor>& editors) {
    for (const Editor& editor : editors) {
        if (editor.bundleID == bundleID)
            return editor.name;
    }
    return bundleID;
}
} // namespace

RuleDescriptions::RuleDescriptions(const ShortcutRegistry& shortcuts)
    : m_shortcuts(shortcuts) {}

QString RuleDescriptions::ruleSummary(const Rule& rule, const QList<Editor>& editors) const {
    if (rule.name && !rule.name->isEmpty())
        return *rule.name;
    return conditionSummary(rule.when) + arrow + actionSummary(rule.action, editors);
}

QString RuleDescriptions::conditionSummary(const PredicateGroup& group) const {
    QStringList parts;
    for (const Predicate& predicate : group.predicates)
        parts.append(predicateSummary(predicate));
    for (const PredicateGroup& nested : group.groups)
        parts.append(QLatin1Char('(') + conditionSummary(nested) + QLatin1Char(')'));
    if (parts.isEmpty())
        return QStringLiteral("No conditions (never matches)");
    return parts.join(group.combine == PredicateGroupCombine::and_ ? QStringLiteral(" and ")
                                                                   : QStringLiteral(" or "));
}

QString RuleDescriptions::predicateSummary(const Predicate& p) const {
    switch (p.kind) {
    case PredicateKind::fileName:
        return QStringLiteral("Name ") + operatorWord(p.stringOperator) + QLatin1Char(' ') +
               quoted(p.stringValue);
    case PredicateKind::fileExtension:
        return QStringLiteral("Extension ") + operatorWord(p.stringOperator) + QLatin1Char(' ') +
               quoted(p.stringValue);
    case PredicateKind::parentFolder:
        return QStringLiteral("Folder ") + operatorWord(p.equalityOperator) + QLatin1Char(' ') +
               abbreviatingWithTilde(p.folderPath.value_or(QString()));
    case PredicateKind::creatorApp:
        return QStringLiteral("Creator ") + operatorWord(p.equalityOperator) + QLatin1Char(' ') +
               p.bundleID.value_or(QString());
    case PredicateKind::hotkey:
        if (p.hotkeyName && !p.hotkeyName->isEmpty()) {
            if (const auto shortcut = m_shortcuts.shortcutDisplayText(*p.hotkeyName))
                return QStringLiteral("Hotkey ") + *shortcut;
        }
        return QStringLiteral("Hotkey (not set)");
    case PredicateKind::runningEditors:
        return QStringLiteral("Running editors ") + operatorSymbol(p.comparisonOperator) +
               QLatin1Char(' ') + QString::number(p.countValue.value_or(0));
    }
    return QString();
}

QString RuleDescriptions::actionSummary(const RuleAction& action, const QList<Editor>& editors) {
    switch (action.kind) {
    case RuleActionKind::specificEditor:
        return editorListSummary(action.effectiveBundleIDs(), editors);
    case RuleActionKind::bestRunningEditor:
        return QStringLiteral("Best running editor");
    case RuleActionKind::defaultEditor:
        return QStringLiteral("Default editor");
    case RuleActionKind::selectFromAllEditors:
        return QStringLiteral("Select from all editors");
    case RuleActionKind::selectFromRunningEditors:
        return QStringLiteral("Select from running editors");
    }
    return QString();
}

QString RuleDescriptions::editorListSummary(const QStringList& bundleIDs,
                                            const QList<Editor>& editors) {
    QStringList names;
    for (const QString& id : bundleIDs)
        names.append(editorName(id, editors));
    switch (names.size()) {
    case 0:
        return QStringLiteral("?");
    case 1:
        return names.first();
    case 2:
        return names.at(0) + QStringLiteral(", ") + names.at(1);
    default:
        return names.first() + QStringLiteral(" + ") + QString::number(names.size() - 1) +
               QStringLiteral(" more");
    }
}

QString RuleDescriptions::defaultRuleSummary(const Route& route) {
    const QString prefix = QStringLiteral("Default Rule") + arrow;
    if (route.defaultActionKind == RuleActionKind::selectFromRunningEditors ||
        route.defaultActionKind == RuleActionKind::selectFromAllEditors) {
        const std::optional<Editor> active = route.activeEditor();
        const QString fallback = active && active->enabled ? active->name : noEditorSelected;
        const QString mode = route.defaultActionKind == RuleActionKind::selectFromRunningEditors
                                 ? QStringLiteral("Select from running")
                                 : QStringLiteral("Select from all");
        return prefix + mode + QStringLiteral(" (fallback: ") + fallback + QLatin1Char(')');
    }
    QStringList ids;
    if (route.defaultOpenBundleIDs && !route.defaultOpenBundleIDs->isEmpty())
        ids = *route.defaultOpenBundleIDs;
    else if (route.activeBundleID)
        ids = {*route.activeBundleID};
    const QList<Editor> found = editorsForBundleIDs(ids, route.enabledEditors());
    if (found.isEmpty())
        return prefix + noEditorSelected;
    QStringList foundIDs;
    for (const Editor& editor : found)
        foundIDs.append(editor.bundleID);
    return prefix + editorListSummary(foundIDs, route.editors);
}

QString RuleDescriptions::abbreviatingWithTilde(const QString& path) {
    QString home = QDir::homePath();
    while (home.size() > 1 && home.endsWith(QLatin1Char('/')))
        home.chop(1);
    // A home of "/" would turn every absolute path into "~...".
    if (home.isEmpty() || home == QLatin1String("/"))
        return path;
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}
