#include "core/model/Rule.h"

#include <QUuid>

QStringList RuleAction::effectiveBundleIDs() const {
    if (bundleIDs && !bundleIDs->isEmpty())
        return *bundleIDs;
    if (bundleID)
        return {*bundleID};
    return {};
}

QString makeRuleIdentifier() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
