#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What an x-corvanta://open link asks for.
struct OpenRequest {
    // Native paths, in link order; never empty. Bytes, so that names that are
    // not UTF-8 can be named in a link with percent-escapes.
    QList<QByteArray> files;
    // A rule id or a rule name unique within the file's route.
    std::optional<QString> rule;
    bool operator==(const OpenRequest&) const = default;
};
