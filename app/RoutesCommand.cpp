#include "app/RoutesCommand.h"

#include "app/LinuxStoreRunner.h"
#include "app/StoreLoadReport.h"
#include "core/engine/RuleDescriptions.h"
#include "core/model/RouteStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
bool isUsage(const QStringList& arguments) {
    return arguments.isEmpty() ||
           (arguments.size() == 1 && arguments.first() == QLatin1String("--json"));
}

QStringList editorFlags(const Route& route, const Editor& editor) {
    QStringList flags;
    flags.append(editor.enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    if (route.activeBundleID == editor.bundleID)
        flags.append(QStringLiteral("active"));
    if (editor.manual)
        flags.append(QStringLiteral("manual"));
    if (editor.opensFolder)
        flags.append(QStringLiteral("folder"));
    if (editor.urlSchemeTemplate)
        flags.append(QStringLiteral("template ") + *editor.urlSchemeTemplate);
    return flags;
}

QJsonObject routeJson(const Route& route, const RuleDescriptions& descriptions) {
    QJsonArray editors;
    for (const Editor& editor : route.editors) {
        QJsonObject object{
            {QStringLiteral("bundleID"), editor.bundleID},
            {QStringLiteral("name"), editor.name},
            {QStringLiteral("enabled"), editor.enabled},
            {QStringLiteral("active"), route.activeBundleID == editor.bundleID},
            {QStringLiteral("manual"), editor.manual},
            {QStringLiteral("opensFolder"), editor.opensFolder},
        };
        object.insert(QStringLiteral("urlSchemeTemplate"),
                      editor.urlSchemeTemplate ? QJsonValue(*editor.urlSchemeTemplate)
                                               : QJsonValue());
        editors.append(object);
    }
    QJsonArray rules;
    for (const Rule& rule : route.rules) {
        const QStringList hotkey = rule.usedHotkeyNames();
        rules.append(QJsonObject{
            {QStringLiteral("id"), rule.id},
            {QStringLiteral("name"), rule.name ? QJsonValue(*rule.name) : QJsonValue()},
            {QStringLiteral("enabled"), rule.enabled},
            {QStringLiteral("summary"), descriptions.ruleSummary(rule, route.editors)},
            {QStringLiteral("hotkey"),
             hotkey.isEmpty() ? QJsonValue() : QJsonValue(hotkey.first())},
        });
    }
    return QJsonObject{
        {QStringLiteral("id"), route.id},
        {QStringLiteral("name"), route.name},
        {QStringLiteral("isCustom"), route.isCustom},
        {QStringLiteral("extensions"), QJsonArray::fromStringList(route.extensions)},
        {QStringLiteral("types"), QJsonArray::fromStringList(route.probeIdentifiers)},
        {QStringLiteral("editors"), editors},
        {QStringLiteral("rules"), rules},
        {QStringLiteral("defaultRule"), RuleDescriptions::defaultRuleSummary(route)},
    };
}

void writeText(QTextStream& out, const Route& route, const RuleDescriptions& descriptions) {
    const QString none = QStringLiteral("none");
    out << route.name << " (" << route.id << ")" << (route.isCustom ? "  custom" : "") << "\n";
    out << "  Extensions: "
        << (route.extensions.isEmpty() ? none : route.extensions.join(QStringLiteral(", ")))
        << "\n";
    out << "  Types: "
        << (route.probeIdentifiers.isEmpty() ? none
                                             : route.probeIdentifiers.join(QStringLiteral(", ")))
        << "\n";
    out << "  Editors:" << (route.editors.isEmpty() ? " none" : "") << "\n";
    for (const Editor& editor : route.editors) {
        out << "    " << editor.name << " (" << editor.bundleID << ")  "
            << editorFlags(route, editor).join(QStringLiteral(", ")) << "\n";
    }
    out << "  Rules:" << (route.rules.isEmpty() ? " none" : "") << "\n";
    for (qsizetype i = 0; i < route.rules.size(); ++i) {
        const Rule& rule = route.rules.at(i);
        out << "    " << (i + 1) << ". " << descriptions.ruleSummary(rule, route.editors)
            << (rule.enabled ? "" : "  (disabled)") << "\n";
    }
    out << "  " << RuleDescriptions::defaultRuleSummary(route) << "\n";
}
} // namespace

const char* RoutesCommand::usage() {
    return "Usage: corvanta routes [--json]\n";
}

int RoutesCommand::run(const QStringList& arguments) {
    if (!arguments.isEmpty() && !isUsage(arguments)) {
        m_err << "corvanta routes: unknown argument \"" << arguments.first() << "\"\n" << usage();
        return 2;
    }
    const bool json = !arguments.isEmpty();
    const int status = StoreLoadReport::report(m_store, m_platform.alerts) ? 0 : 1;
    const RuleDescriptions descriptions(m_platform.shortcuts);
    const QList<Route> routes = m_store.routes();
    if (json) {
        QJsonArray list;
        for (const Route& route : routes)
            list.append(routeJson(route, descriptions));
        const QJsonObject document{
            {QStringLiteral("file"), m_store.filePath()},
            {QStringLiteral("loadFailed"), m_store.loadFailed()},
            {QStringLiteral("routes"), list},
        };
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
    } else {
        for (qsizetype i = 0; i < routes.size(); ++i) {
            if (i > 0)
                m_out << "\n";
            writeText(m_out, routes.at(i), descriptions);
        }
    }
    m_out.flush();
    return status;
}

int RoutesCommand::runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (!arguments.isEmpty() && !isUsage(arguments)) {
        err << "corvanta routes: unknown argument \"" << arguments.first() << "\"\n" << usage();
        return 2;
    }
    return runWithLinuxStore<RoutesCommand>(arguments, out, err);
}
