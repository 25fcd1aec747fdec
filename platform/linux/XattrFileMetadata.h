#pragma once

#include "core/platform/FileMetadata.h"

#include <QByteArray>

// The creator recorded in a file's extended attributes (freedesktop Common
// Extended Attributes): user.xdg.creator, else user.dublincore.creator.
class XattrFileMetadata : public FileMetadata {
public:
    std::optional<QString> creatorName(const QUrl& file) const override;

    // The raw value of one attribute; none when absent or unreadable.
    static std::optional<QByteArray> attribute(const QByteArray& path, const char* name);
};
