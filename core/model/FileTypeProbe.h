#pragma once

#include "core/model/SampleType.h"
#include "core/model/TypeOverlap.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <variant>

class TypeSystem;

// Reads a sample file's type and compares it with the known routes.
class FileTypeProbe {
public:
    explicit FileTypeProbe(const TypeSystem& types);

    std::variant<SampleType, FileTypeProbeError> probe(const QUrl& url) const;
    // The first route, in the order given, that knows the extension or the identifier.
    std::optional<TypeOverlap> overlap(const QList<Route>& routes, const QString& extension,
                                       const std::optional<QString>& typeIdentifier) const;
    // The types to claim the default-handler role for: the identifier's type,
    // then the extension's type when it differs.
    QStringList sampleContentTypes(const QString& extension,
                                   const std::optional<QString>& typeIdentifier) const;
    // "custom." + identifier (or extension), with ".2", ".3", ... when taken.
    static QString customRouteID(const QString& extension,
                                 const std::optional<QString>& typeIdentifier,
                                 const QStringList& existingIDs);

private:
    const TypeSystem& m_types;
};
