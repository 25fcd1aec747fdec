#pragma once

#include "core/model/Route.h"

#include <QList>

// The routes every installation has (Markdown and Plain Text), and how a stored
// copy of one is folded back into it at load.
class BuiltInRoutes {
public:
    // Built once per process; identical for every load.
    static const QList<Route>& all();
    static bool isBuiltInID(const QString& id);
    // The built-in identity and type lists first, the user's settings from `stored`.
    static Route merge(const Route& builtIn, const Route& stored);
};
