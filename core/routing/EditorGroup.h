#pragma once

#include "core/model/Editor.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

// The files of one request that go to one editor of one route.
struct EditorGroup {
    // The editor as stored in the route when the batch was formed.
    Editor editor;
    // In request order.
    QList<QUrl> urls;
    bool operator==(const EditorGroup&) const = default;
};

// Gathers a request's decided files into one group per editor of a route, so
// that each editor is launched once with all of its files.
class EditorGroups {
public:
    void add(const QString& routeID, const Editor& editor, const QUrl& url);
    // In the order their first file was added.
    const QList<EditorGroup>& groups() const { return m_groups; }

private:
    QList<EditorGroup> m_groups;
    QHash<QString, qsizetype> m_index;
};
