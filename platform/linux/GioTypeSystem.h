#pragma once

#include "core/platform/TypeSystem.h"

#include <QSet>

// File types from shared-mime-info through GIO's content types (MIME types on
// Linux), with the stored identifiers of older routes accepted as aliases.
class GioTypeSystem : public TypeSystem {
public:
    std::optional<QString> typeForFilenameExtension(const QString& extension) const override;
    std::optional<QString> recognisedType(const QString& identifier) const override;
    bool conformsTo(const QString& type, const QString& parent) const override;
    QString typeDescription(const QString& type) const override;
    std::optional<QString> recordedContentType(const QString& path) const override;

private:
    const QSet<QString>& registeredTypes() const;

    mutable QSet<QString> m_registered;
};
