#include "core/routing/EditorOpener.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/Alerts.h"
#include "core/platform/Workspace.h"
#include "core/routing/URLTemplateExpander.h"

#include <QDir>

EditorOpener::EditorOpener(Workspace& workspace, Alerts& alerts, HomeFolder home)
    : m_workspace(workspace)
    , m_alerts(alerts)
    , m_home(home ? std::move(home) : HomeFolder([] { return QDir::homePath(); })) {}

EditorOpener::~EditorOpener() = default;

int EditorOpener::pendingLaunches() const {
    return m_pending;
}

void EditorOpener::setIdleHandler(std::function<void()> handler) {
    m_idleHandler = std::move(handler);
}

void EditorOpener::setFailureHandler(FailureHandler handler) {
    m_failureHandler = std::move(handler);
}

void EditorOpener::failed(const QList<QUrl>& urls, const QString& text) const {
    if (m_failureHandler)
        m_failureHandler(urls, text);
}

void EditorOpener::openFiles(const QList<QUrl>& urls, const Editor& editor,
                             const SecurityScope::Shared& scope) {
    const QString urlTemplate = editor.urlSchemeTemplate.value_or(QString()).trimmed();
    if (!urlTemplate.isEmpty())
        openWithTemplate(urlTemplate, urls);
    else
        openWithApplication(urls, editor, scope);
}

void EditorOpener::openWithTemplate(const QString& urlTemplate, const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        const QString expanded = expandURLTemplate(urlTemplate, url, m_home());
        if (!isStrictURL(expanded) || !m_workspace.openURL(QUrl(expanded, QUrl::StrictMode))) {
            failed({url}, QStringLiteral("The URL template gave no URL to open: ") + expanded);
            m_alerts.beep();
        }
    }
}

void EditorOpener::openWithApplication(const QList<QUrl>& urls, const Editor& editor,
                                       const SecurityScope::Shared& scope) {
    const std::optional<QString> location = m_workspace.locationForBundleID(editor.bundleID);
    if (!location) {
        const QString text =
            editor.name + QStringLiteral(" is no longer installed. Rescan in Settings.");
        failed(urls, text);
        m_alerts.runAlert(AlertRequest::warning(QStringLiteral("Editor not found"), text));
        return;
    }
    QList<QUrl> targets;
    targets.reserve(urls.size());
    for (const QUrl& url : urls) {
        if (!editor.opensFolder) {
            targets.append(url);
            continue;
        }
        // Files of one folder give the folder once per file, in file order.
        targets.append(
            LocalFileURL::fromNativePath(LocalFileURL::folderPath(LocalFileURL::nativePath(url))));
    }

    ++m_pending;
    const QString editorName = editor.name;
    // The completion holds the files' access until the launch is done.
    m_workspace.openURLs(
        targets, *location,
        m_lifetime.guard([this, urls, scope, editorName](const std::optional<QString>& error) {
            if (error) {
                failed(urls, QStringLiteral("Could not open ") + editorName + QStringLiteral(": ") +
                                 *error);
                const Lifetime::Watch alive = m_lifetime.watch();
                m_alerts.runAlert(
                    AlertRequest::warning(QStringLiteral("Could not open ") + editorName, *error));
                if (!alive)
                    return;
            }
            if (--m_pending == 0 && m_idleHandler)
                m_idleHandler();
        }));
}
