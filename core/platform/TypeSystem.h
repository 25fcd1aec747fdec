#pragma once

#include <QString>
#include <optional>

// The system's registry of file types. Type identifiers are MIME types on Linux;
// well-known identifiers stored in older routes files are accepted as aliases.
class TypeSystem {
public:
    virtual ~TypeSystem() = default;

    // The type registered for a filename extension (without the dot) among data
    // types; none when the system does not know the extension for certain.
    virtual std::optional<QString> typeForFilenameExtension(const QString& extension) const = 0;
    // The canonical type for an identifier the system recognises; none otherwise.
    virtual std::optional<QString> recognisedType(const QString& identifier) const = 0;
    // True when `type` is `parent` or derives from it.
    virtual bool conformsTo(const QString& type, const QString& parent) const = 0;
    // Localised description ("Markdown document"); empty when unknown.
    virtual QString typeDescription(const QString& type) const = 0;
    // The type the system gives a file by its name alone (never by sniffing its
    // contents); none when the name does not tell, or names no data type.
    virtual std::optional<QString> recordedContentType(const QString& path) const = 0;
};
