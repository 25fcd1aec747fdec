#include "core/routing/EditorOpener.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/Alerts.h"
#include "core/platform/Workspace.h"
#include "core/routing/URLTemplateExpander.h"

#include <QDir>

struct EditorOpener::Launches {
    int pending = 0;
    std::function<void()> idleHandler;
    EditorOpener::FailureHandler failureHandler;

    void failed(const QList<QUrl>& urls, const QString& text) const {
        if (failureHandler)
            failureHandler(urls, text);
    }
};

EditorOpener::EditorOpener(Workspace& workspace, Alerts& alerts, HomeFolder home)
    : m_workspace(workspace)
    , m_alerts(alerts)
    , m_home(home ? std::move(home) : HomeFolder([] { return QDir::homePath(); }))
    , m_launches(std::make_shared<Launches>()) {}

EditorOpener::~EditorOpener() = default;

int EditorOpener::pendingLaunches() const {
    return m_launches->pending;
}

void EditorOpener::setIdleHandler(std::function<void()> handler) {
    m_launches->idleHandler = std::move(handler);
}

void EditorOpener::setFailureHandler(FailureHandler handler) {
    m_launches->failureHandler = std::move(handler);
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
            m_launches->failed({url},
                               QStringLiteral("The URL template gave no URL to open: ") + expanded);
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
        m_launches->failed(urls, text);
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

    ++m_launches->pending;
    std::weak_ptr<Launches> launches = m_launches;
    Alerts& alerts = m_alerts;
    const QString editorName = editor.name;
    m_workspace.openURLs(
        targets, *location,
        [launches, &alerts, urls, scope, editorName](const std::optional<QString>& error) {
            const std::shared_ptr<Launches> alive = launches.lock();
            if (!alive)
                return;
            if (error) {
                alive->failed(urls, QStringLiteral("Could not open ") + editorName +
                                        QStringLiteral(": ") + *error);
                alerts.runAlert(
                    AlertRequest::warning(QStringLiteral("Could not open ") + editorName, *error));
            }
            if (--alive->pending == 0 && alive->idleHandler)
                alive->idleHandler();
        });
}
