#include "core/model/Rule.h"

#include <QUuid>

QStringList RuleAction::effectiveBundleIDs() const {
    if (bundleIDs && !bundleIDs->isEmpty())
        return *bundleIDs;
    if (bundleID)
        return {*bundleID};
    return {};
}

namespace {
void collectHotkeyNames(const PredicateGroup& group, QStringList& names) {
    for (const Predicate& predicate : group.predicates) {
        if (predicate.kind == PredicateKind::hotkey && predicate.hotkeyName &&
            !predicate.hotkeyName->isEmpty() && !names.contains(*predicate.hotkeyName))
            names.append(*predicate.hotkeyName);
    }
    for (const PredicateGroup& nested : group.groups)
        collectHotkeyNames(nested, names);
}
} // namespace

QStringList Rule::usedHotkeyNames() const {
    QStringList names;
    collectHotkeyNames(when, names);
    return names;
}

QString makeRuleIdentifier() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
