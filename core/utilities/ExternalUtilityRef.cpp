#include "core/utilities/ExternalUtilityRef.h"

#include "core/model/Route.h"

QString ExternalUtilityRef::name() const {
    return std::visit([](const auto& u) { return u.name; }, payload);
}

QString ExternalUtilityRef::key() const {
    if (const auto* script = std::get_if<EnabledScriptUtility>(&payload))
        return script->relativePath;
    return std::get<EnabledExternalUtility>(payload).id;
}

QList<std::pair<ExternalUtilityKind, QList<ExternalUtilityRef>>>
externalUtilityGroups(const Route& route) {
    QList<std::pair<ExternalUtilityKind, QList<ExternalUtilityRef>>> groups;
    QList<ExternalUtilityRef> shortcuts, services, scripts;
    for (const auto& u : route.enabledShortcuts)
        shortcuts.append(ExternalUtilityRef::shortcut(u));
    for (const auto& u : route.enabledServices)
        services.append(ExternalUtilityRef::service(u));
    for (const auto& u : route.enabledScripts)
        scripts.append(ExternalUtilityRef::script(u));
    if (!shortcuts.isEmpty())
        groups.append({ExternalUtilityKind::shortcut, shortcuts});
    if (!services.isEmpty())
        groups.append({ExternalUtilityKind::service, services});
    if (!scripts.isEmpty())
        groups.append({ExternalUtilityKind::script, scripts});
    return groups;
}

QList<ExternalUtilityRef> externalUtilities(const Route& route) {
    QList<ExternalUtilityRef> all;
    for (const auto& group : externalUtilityGroups(route))
        all.append(group.second);
    return all;
}

QString scriptDisplayName(const QString& fileName) {
    QString base = fileName.section(QLatin1Char('/'), -1);
    const int dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        const QString ext = base.mid(dot + 1).toLower();
        if (ext == QLatin1String("applescript") || ext == QLatin1String("scpt") ||
            ext == QLatin1String("workflow"))
            base.truncate(dot);
    }
    return base;
}
