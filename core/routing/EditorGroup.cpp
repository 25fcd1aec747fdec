#include "core/routing/EditorGroup.h"

void EditorGroups::add(const QString& routeID, const Editor& editor, const QUrl& url) {
    const QString key = routeID + QLatin1Char('#') + editor.bundleID;
    auto it = m_index.constFind(key);
    if (it == m_index.cend()) {
        m_groups.append({editor, {}});
        it = m_index.insert(key, m_groups.size() - 1);
    }
    m_groups[*it].urls.append(url);
}
