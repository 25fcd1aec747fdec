#pragma once

#include "core/model/PickerUtility.h"
#include "core/model/Route.h"
#include "core/model/Rule.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

// What the settings window may do to the routes: one closure per store
// operation, each identified by route id. The delegate makes them; once it is
// gone they do nothing (`routes` gives an empty list, `usesApplicationScripts`
// false, `addTypeFromURL` none).
struct SettingsActions {
    std::function<QList<Route>()> routes;
    std::function<void(const QString& routeID, const QString& bundleID, bool enabled)> setEnabled;
    std::function<void(const QString& routeID, bool enabled)> setAllEditorsEnabled;
    std::function<void(const QString& routeID, PickerUtilityKind kind, bool enabled)>
        setUtilityEnabled;
    std::function<void(const QString& routeID, const std::optional<QString>& bundleID)>
        setTerminalBundleID;
    std::function<void(const QString& routeID, ExternalUtilityKind kind, const QString& id,
                       const QString& name, bool enabled)>
        setExternalUtilityEnabled;
    std::function<void(const QString& routeID, const QString& relativePath, const QString& name,
                       bool enabled)>
        setScriptUtilityEnabled;
    std::function<bool()> usesApplicationScripts;
    std::function<void(const QString& routeID, const QString& bundleID)> toggleFolder;
    std::function<void(const QString& routeID, const QString& bundleID,
                       const std::optional<QString>& urlTemplate)>
        setURLSchemeTemplate;
    std::function<void(const QString& routeID, const QString& bundleID, const QString& name)>
        addEditor;
    std::function<void(const QString& routeID, const QString& bundleID)> removeEditor;
    // The kind alone is stored; the sheet names the editors with setDefaultOpenBundleIDs.
    std::function<void(const QString& routeID, RuleActionKind kind,
                       const std::optional<QString>& bundleID)>
        setDefaultActionKind;
    std::function<void(const QString& routeID, const QStringList& bundleIDs)>
        setDefaultOpenBundleIDs;
    std::function<void(const QString& routeID, const Rule& rule)> upsertRule;
    std::function<void(const QString& routeID, const QString& ruleID)> removeRule;
    std::function<void(const QString& routeID, qsizetype from, qsizetype to)> moveRule;
    std::function<void(const QString& routeID, const QString& ruleID, bool enabled)> setRuleEnabled;
    std::function<void(const QString& routeID, const QStringList& order)> setDefaultPreferenceOrder;
    std::function<void(const QString& routeID)> rescan;
    std::function<std::optional<QString>(const QUrl& sample)> addTypeFromURL;
    std::function<void(const QString& routeID)> removeCustomRoute;
};
