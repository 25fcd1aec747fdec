#pragma once

#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"

inline const QString alpha = QStringLiteral("org.example.Alpha");
inline const QString beta = QStringLiteral("org.example.Beta");

inline Editor editor(const QString& id) {
    Editor e;
    e.bundleID = id;
    e.name = id.section(u'.', -1);
    e.manual = true; // kept whatever the applications edit
    return e;
}

// A taught route with no editors and the default utilities.
inline Route makeCustomRoute(const QString& id, const QString& name, const QString& extension) {
    Route r;
    r.id = id;
    r.name = name;
    r.extensions = {extension};
    r.isCustom = true;
    r.normalizeUtilities();
    return r;
}

// Alpha (active) and Beta, no utilities; ids "custom.*" are taught routes.
inline Route route(const QString& id, const QString& name, const QString& extension) {
    Route r = makeCustomRoute(id, name, extension);
    r.isCustom = id.startsWith(QStringLiteral("custom."));
    r.editors = {editor(alpha), editor(beta)};
    r.activeBundleID = alpha;
    for (PickerUtility& u : r.utilities)
        u.enabled = false;
    return r;
}

// A routes file holding `routes`.
inline QByteArray encodedRoutes(const QList<Route>& routes) {
    RouteStore::State state;
    state.routes = routes;
    return RoutesFileCodec::encode(state);
}

// Writes a routes file holding `routes`, or `bytes` when given.
inline void writeRoutes(const QString& path, const QList<Route>& routes,
                        const QByteArray& bytes = {}) {
    writeFile(path, bytes.isEmpty() ? encodedRoutes(routes) : bytes);
}
