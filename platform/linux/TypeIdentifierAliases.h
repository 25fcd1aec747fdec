#pragma once

#include <QString>
#include <optional>

// The well-known type identifiers that stored routes carry, mapped to the MIME
// types that stand for them. The one place such identifiers are translated.
namespace TypeIdentifierAliases {
// The MIME type for `identifier`; none when it is not a known identifier.
std::optional<QString> mimeTypeFor(const QString& identifier);
} // namespace TypeIdentifierAliases
