#pragma once

#include "core/model/Editor.h"
#include "core/platform/Lifetime.h"
#include "core/routing/SecurityScope.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

class Alerts;
class Workspace;

// Hands one batch of files to one editor: through the editor's URL template
// (one URL per file), or through its application with the files (or their
// folders) in one launch. Reports failures itself.
class EditorOpener {
public:
    using HomeFolder = std::function<QString()>;

    // `home` is read for each file (the user's home folder by default).
    EditorOpener(Workspace& workspace, Alerts& alerts, HomeFolder home = {});
    ~EditorOpener();
    EditorOpener(const EditorOpener&) = delete;
    EditorOpener& operator=(const EditorOpener&) = delete;

    // `scope` is held until the launch completed.
    void openFiles(const QList<QUrl>& urls, const Editor& editor,
                   const SecurityScope::Shared& scope = nullptr);

    // Launches handed to the workspace whose completion has not arrived yet.
    int pendingLaunches() const;
    // Runs each time the last pending launch completes.
    void setIdleHandler(std::function<void()> handler);
    // Told which files did not reach their editor and what the user was shown.
    using FailureHandler = std::function<void(const QList<QUrl>& urls, const QString& text)>;
    void setFailureHandler(FailureHandler handler);

private:
    void openWithTemplate(const QString& urlTemplate, const QList<QUrl>& urls);
    void openWithApplication(const QList<QUrl>& urls, const Editor& editor,
                             const SecurityScope::Shared& scope);

    void failed(const QList<QUrl>& urls, const QString& text) const;

    Workspace& m_workspace;
    Alerts& m_alerts;
    HomeFolder m_home;
    int m_pending = 0;
    std::function<void()> m_idleHandler;
    FailureHandler m_failureHandler;
    // Launch completions reported after the opener is gone show nothing.
    Lifetime m_lifetime;
};
