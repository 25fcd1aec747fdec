#pragma once

#include <QList>
#include <QUrl>

// Shows files selected in a file-manager window.
class FileRevealer {
public:
    virtual ~FileRevealer() = default;
    // Reveals all `files` in one request. Failures are not reported.
    virtual void reveal(const QList<QUrl>& files) = 0;
};
