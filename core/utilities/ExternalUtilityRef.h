#pragma once

#include "core/model/ExternalUtilityKind.h"
#include "core/model/PickerUtility.h"

#include <QList>
#include <QString>
#include <optional>
#include <utility>
#include <variant>

struct Route;

// A Shortcut, Service or user script that pickers and menus offer. Not stored.
struct ExternalUtilityRef {
    ExternalUtilityKind kind = ExternalUtilityKind::shortcut;
    std::variant<EnabledExternalUtility, EnabledScriptUtility> payload;
    bool operator==(const ExternalUtilityRef&) const = default;

    static ExternalUtilityRef shortcut(EnabledExternalUtility u) {
        return {ExternalUtilityKind::shortcut, std::move(u)};
    }
    static ExternalUtilityRef service(EnabledExternalUtility u) {
        return {ExternalUtilityKind::service, std::move(u)};
    }
    static ExternalUtilityRef script(EnabledScriptUtility u) {
        return {ExternalUtilityKind::script, std::move(u)};
    }
    QString name() const;
    // `id` for shortcuts and services, `relativePath` for scripts.
    QString key() const;
};

// A route's enabled utilities, grouped shortcut, service, script; empty groups left out.
QList<std::pair<ExternalUtilityKind, QList<ExternalUtilityRef>>>
externalUtilityGroups(const Route& route);
// The groups' references in one list.
QList<ExternalUtilityRef> externalUtilities(const Route& route);
// A script's display name: its base name, without an AppleScript or workflow extension.
QString scriptDisplayName(const QString& fileName);
