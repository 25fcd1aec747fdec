#include "core/model/BuiltInRoutes.h"

#include <algorithm>

namespace {
Route makeBuiltIn(const QString& id, const QString& name, const QStringList& extensions,
                  const QStringList& probeIdentifiers) {
    Route route;
    route.id = id;
    route.name = name;
    route.extensions = extensions;
    route.probeIdentifiers = probeIdentifiers;
    route.normalizeUtilities();
    return route;
}

// `first` followed by the entries of `extra` it lacks, in their order.
QStringList appendMissing(QStringList first, const QStringList& extra) {
    for (const QString& entry : extra) {
        if (!first.contains(entry))
            first.append(entry);
    }
    return first;
}
} // namespace

const QList<Route>& BuiltInRoutes::all() {
    static const QList<Route> routes{
        makeBuiltIn(QStringLiteral("markdown"), QStringLiteral("Markdown"),
                    {QStringLiteral("md"), QStringLiteral("markdown"), QStringLiteral("mdown"),
                     QStringLiteral("mmd"), QStringLiteral("qmd")},
                    {QStringLiteral("net.daringfireball.markdown"),
                     QStringLiteral("net.daring-fireball.markdown"),
                     QStringLiteral("net.ia.markdown"), QStringLiteral("public.markdown"),
                     QStringLiteral("io.typora.markdown"), QStringLiteral("com.unknown.md"),
                     QStringLiteral("unknown.markdown"), QStringLiteral("org.quarto.qmd"),
                     QStringLiteral("org.rstudio.qmd")}),
        makeBuiltIn(
            QStringLiteral("plaintext"), QStringLiteral("Plain Text"),
            {QStringLiteral("txt"), QStringLiteral("text"), QStringLiteral("log")},
            {QStringLiteral("public.plain-text"), QStringLiteral("public.utf8-plain-text")}),
    };
    return routes;
}

bool BuiltInRoutes::isBuiltInID(const QString& id) {
    const QList<Route>& routes = all();
    return std::any_of(routes.begin(), routes.end(),
                       [&id](const Route& route) { return route.id == id; });
}

Route BuiltInRoutes::merge(const Route& builtIn, const Route& stored) {
    Route merged = stored;
    merged.id = builtIn.id;
    merged.name = builtIn.name;
    merged.isCustom = false;
    merged.pathRules.reset();
    merged.extensions = appendMissing(builtIn.extensions, stored.extensions);
    merged.probeIdentifiers = appendMissing(builtIn.probeIdentifiers, stored.probeIdentifiers);
    merged.normalizeUtilities();
    return merged;
}
