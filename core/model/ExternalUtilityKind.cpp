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
