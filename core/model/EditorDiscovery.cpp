#include "core/model/EditorDiscovery.h"

#include "core/platform/TypeSystem.h"
#include "core/platform/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <algorithm>

namespace {
// The first editor whose bundle id equals `bundleID` ignoring case.
const Editor* earlierEditor(const Route& route, const QString& bundleID) {
    for (const Editor& editor : route.editors) {
        if (editor.bundleID.compare(bundleID, Qt::CaseInsensitive) == 0)
            return &editor;
    }
    return nullptr;
}

Editor discoveredEditor(const QString& bundleID, const QString& name, const Editor* earlier,
                        bool enabledWhenNew) {
    Editor editor;
    editor.bundleID = bundleID;
    editor.name = name;
    editor.manual = false;
    if (earlier) {
        editor.opensFolder = earlier->opensFolder;
        editor.enabled = earlier->enabled;
        editor.urlSchemeTemplate = earlier->urlSchemeTemplate;
    } else {
        editor.opensFolder = false;
        editor.enabled = enabledWhenNew;
    }
    return editor;
}
} // namespace

EditorDiscovery::EditorDiscovery(const TypeSystem& types, const Workspace& workspace)
    : m_types(types)
    , m_workspace(workspace) {}

QString EditorDiscovery::nameOf(const QString& location) const {
    const QString name = m_workspace.applicationName(location);
    if (!name.isEmpty())
        return name;
    return QFileInfo(location).completeBaseName();
}

Route EditorDiscovery::rediscoverEditors(const Route& route) const {
    const std::optional<QString> own = m_workspace.ownBundleID();

    QList<Editor> editors;
    QSet<QString> taken;
    for (const Editor& editor : route.editors) {
        if (editor.manual) {
            editors.append(editor);
            taken.insert(editor.bundleID);
        }
    }

    // The set has no order of its own; a fixed one keeps runs reproducible.
    QStringList types = route.contentTypes(m_types).values();
    types.sort();

    QSet<QString> editorRole;
    QSet<QString> seen;
    QStringList candidates;
    for (const QString& type : types) {
        for (const QString& id : m_workspace.editorRoleHandlers(type))
            editorRole.insert(id.toLower());
        for (const QString& location : m_workspace.applicationsForType(type)) {
            const std::optional<QString> id = m_workspace.bundleIDForLocation(location);
            if (!id || id->isEmpty())
                continue;
            const QString key = id->toLower();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            candidates.append(location);
        }
        for (const QString& id : m_workspace.viewerRoleHandlers(type)) {
            const QString key = id.toLower();
            if (seen.contains(key))
                continue;
            const std::optional<QString> location = m_workspace.locationForBundleID(id);
            if (!location)
                continue;
            seen.insert(key);
            candidates.append(*location);
        }
    }

    for (const QString& location : candidates) {
        const std::optional<QString> id = m_workspace.bundleIDForLocation(location);
        if (!id || id->isEmpty() || id == own || taken.contains(*id))
            continue;
        taken.insert(*id);
        editors.append(discoveredEditor(*id, nameOf(location), earlierEditor(route, *id),
                                        editorRole.contains(id->toLower())));
    }
    sortEditorsByName(editors);

    if (route.isHTMLRoute())
        addBrowsers(route, editors);

    Route result = route;
    result.editors = editors;
    const std::optional<Editor> active = result.activeEditor();
    if (!active || !active->enabled) {
        const QList<Editor> enabled = result.enabledEditors();
        result.activeBundleID =
            enabled.isEmpty() ? std::nullopt : std::optional(enabled.first().bundleID);
    }
    return result;
}

void EditorDiscovery::addBrowsers(const Route& before, QList<Editor>& editors) const {
    QSet<QString> collectedPaths;
    QStringList browsers;
    for (const char* scheme : {"http", "https"}) {
        const QUrl url(QString::fromLatin1(scheme) + QStringLiteral("://example.com"));
        for (const QString& location : m_workspace.applicationsForURL(url)) {
            const QString key = QDir::cleanPath(location).toLower();
            if (collectedPaths.contains(key))
                continue;
            collectedPaths.insert(key);
            browsers.append(location);
        }
    }

    const std::optional<QString> own = m_workspace.ownBundleID();
    for (const QString& location : browsers) {
        const std::optional<QString> id = m_workspace.bundleIDForLocation(location);
        if (!id || id->isEmpty() || id == own)
            continue;
        const QString key = id->toLower();
        const bool listed = std::any_of(editors.begin(), editors.end(), [&key](const Editor& e) {
            return e.bundleID.toLower() == key;
        });
        if (listed)
            continue;
        editors.append(discoveredEditor(*id, nameOf(location), earlierEditor(before, *id), true));
    }
    sortEditorsByName(editors);
}
