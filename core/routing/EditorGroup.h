#pragma once

#include "core/model/Editor.h"

#include <QList>
#include <QUrl>

// The files of one request that go to one editor of one route.
struct EditorGroup {
    // The editor as stored in the route when the batch was formed.
    Editor editor;
    // In request order.
    QList<QUrl> urls;
    bool operator==(const EditorGroup&) const = default;
};
