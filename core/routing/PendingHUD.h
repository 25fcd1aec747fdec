#pragma once

#include "core/history/RoutingHistoryEntry.h"
#include "core/model/Rule.h"

#include <QList>
#include <QString>
#include <QUrl>

// The files of one route that one rule (or the Default Rule) sends to a picker.
struct PendingHUD {
    // The rule's id, or "default" for the Default Rule.
    QString ruleID;
    QString routeID;
    // For the Default Rule only the kind is set.
    RuleAction action;
    // In request order.
    QList<QUrl> urls;
    // How the files came, for the history.
    RoutingArrival arrival = {};
    bool operator==(const PendingHUD&) const = default;
};
