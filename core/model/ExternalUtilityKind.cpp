#include "core/model/ExternalUtilityKind.h"

QString toString(ExternalUtilityKind kind) {
    switch (kind) {
    case ExternalUtilityKind::shortcut:
        return QStringLiteral("shortcut");
    case ExternalUtilityKind::service:
        return QStringLiteral("service");
    case ExternalUtilityKind::script:
        return QStringLiteral("script");
    }
    return {};
}

std::optional<ExternalUtilityKind> externalUtilityKindFromString(const QString& name) {
    for (auto kind : allExternalUtilityKinds) {
        if (toString(kind) == name)
            return kind;
    }
    return std::nullopt;
}
