#pragma once

#include <QString>
#include <optional>

// Why a sample file could not be probed.
enum class FileTypeProbeError {
    missingExtension,
    // A folder is never a sample of a file type.
    isFolder,
};

// What a sample file tells about its type.
struct SampleType {
    // Lower case, without the dot; never empty.
    QString extension;
    std::optional<QString> typeIdentifier;
    QString displayName;
    bool operator==(const SampleType&) const = default;
};
