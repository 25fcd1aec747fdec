#pragma once

#include <QList>
#include <QUrl>

struct ScriptableFileManager;

// Asks the frontmost file manager, already known to be `manager`, for the
// files selected in its window.
class FileManagerSelection {
public:
    virtual ~FileManagerSelection() = default;
    // The selected files as file URLs, unfiltered; empty on any failure.
    virtual QList<QUrl> copySelection(const ScriptableFileManager& manager) = 0;
};
