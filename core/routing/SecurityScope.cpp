#include "core/routing/SecurityScope.h"

#include "core/platform/Workspace.h"

#include <QSet>

namespace {
QList<QUrl> eachOnce(const QList<QUrl>& urls) {
    QList<QUrl> once;
    QSet<QUrl> seen;
    for (const QUrl& url : urls) {
        if (!seen.contains(url)) {
            seen.insert(url);
            once.append(url);
        }
    }
    return once;
}
} // namespace

SecurityScope::Shared SecurityScope::start(Workspace& workspace, const QList<QUrl>& urls) {
    QList<QUrl> started;
    for (const QUrl& url : eachOnce(urls)) {
        if (workspace.startAccessingSecurityScopedResource(url))
            started.append(url);
    }
    return std::make_shared<const SecurityScope>(workspace, started);
}

SecurityScope::Shared SecurityScope::adopt(Workspace& workspace, const QList<QUrl>& urls) {
    return std::make_shared<const SecurityScope>(workspace, eachOnce(urls));
}

SecurityScope::SecurityScope(Workspace& workspace, QList<QUrl> held)
    : m_workspace(workspace)
    , m_held(std::move(held)) {}

SecurityScope::~SecurityScope() {
    for (const QUrl& url : m_held)
        m_workspace.stopAccessingSecurityScopedResource(url);
}
