#include "core/routing/SecurityScope.h"

#include "core/platform/Workspace.h"

namespace SecurityScope {
void stopAccessing(Workspace& workspace, const QList<QUrl>& urls, const QSet<QUrl>& scoped) {
    for (const QUrl& url : urls) {
        if (scoped.contains(url))
            workspace.stopAccessingSecurityScopedResource(url);
    }
}
} // namespace SecurityScope
