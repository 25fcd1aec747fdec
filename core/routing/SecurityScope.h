#pragma once

#include <QList>
#include <QSet>
#include <QUrl>

class Workspace;

namespace SecurityScope {
// Ends access for each URL of `urls` that is in `scoped`; the others were never
// started by the caller and are left alone.
void stopAccessing(Workspace& workspace, const QList<QUrl>& urls, const QSet<QUrl>& scoped);
} // namespace SecurityScope
