#pragma once

#include <QString>
#include <optional>

// Metadata the file system keeps beside a file's contents.
class FileMetadata {
public:
    virtual ~FileMetadata() = default;
    // The creating application or author; none when not recorded or empty.
    virtual std::optional<QString> creatorName(const QString& path) const = 0;
};
