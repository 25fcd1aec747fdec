#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// Metadata the file system keeps beside a file's contents.
class FileMetadata {
public:
    virtual ~FileMetadata() = default;
    // The creating application or author of a local file; none when not
    // recorded or empty. A URL, not a path: a file name need not be text.
    virtual std::optional<QString> creatorName(const QUrl& file) const = 0;
};
