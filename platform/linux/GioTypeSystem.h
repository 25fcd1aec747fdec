#pragma once

#include "core/platform/TypeSystem.h"

#include <QStringList>

// File types from shared-mime-info through GIO's content types (MIME types on
// Linux), with the stored identifiers of older routes accepted as aliases.
// Nothing is cached here: a type installed while Corvanta runs is known as soon
// as GIO rereads the MIME database (it checks every few seconds).
class GioTypeSystem : public TypeSystem {
public:
    std::optional<QString> typeForFilenameExtension(const QString& extension) const override;
    std::optional<QString> recognisedType(const QString& identifier) const override;
    bool conformsTo(const QString& type, const QString& parent) const override;
    QString typeDescription(const QString& type) const override;
    std::optional<QString> recordedContentType(const QString& path) const override;

private:
    // True when some MIME folder defines `type` (update-mime-database writes one
    // file per type, so a new type is seen at once).
    static bool isRegistered(const QString& type);
};
