#pragma once

#include <QList>
#include <QUrl>
#include <memory>

class Workspace;

// The files whose access one run holds. Access ends once for each, when the
// last part of the run holding the scope (a launch, a picker, a utility) lets
// go of it, whichever way the run ends.
class SecurityScope {
public:
    using Shared = std::shared_ptr<const SecurityScope>;

    // Starts access to each of `urls`; those refused are not ended later.
    static Shared start(Workspace& workspace, const QList<QUrl>& urls);
    // Takes over access already granted for `urls` (files the desktop handed over).
    static Shared adopt(Workspace& workspace, const QList<QUrl>& urls);

    SecurityScope(Workspace& workspace, QList<QUrl> held);
    ~SecurityScope();
    SecurityScope(const SecurityScope&) = delete;
    SecurityScope& operator=(const SecurityScope&) = delete;

private:
    Workspace& m_workspace;
    QList<QUrl> m_held;
};
