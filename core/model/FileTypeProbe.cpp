#include "core/model/FileTypeProbe.h"

#include "core/model/PathExtension.h"
#include "core/platform/TypeSystem.h"

#include <QFileInfo>

FileTypeProbe::FileTypeProbe(const TypeSystem& types)
    : m_types(types) {}

std::variant<SampleType, FileTypeProbeError> FileTypeProbe::probe(const QUrl& url) const {
    // Checked first: a folder named like a file ("notes.d") is still no sample.
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
        return FileTypeProbeError::isFolder;
    SampleType sample;
    sample.extension = pathExtension(url);
    if (sample.extension.isEmpty())
        return FileTypeProbeError::missingExtension;

    std::optional<QString> type;
    if (url.isLocalFile())
        type = m_types.recordedContentType(url.toLocalFile());
    if (!type || type->isEmpty())
        type = m_types.typeForFilenameExtension(sample.extension);
    if (type && !type->isEmpty())
        sample.typeIdentifier = type;

    if (sample.typeIdentifier) {
        sample.displayName = m_types.typeDescription(*sample.typeIdentifier);
        if (sample.displayName.isEmpty()) {
            if (const std::optional<QString> known = m_types.recognisedType(*sample.typeIdentifier))
                sample.displayName = m_types.typeDescription(*known);
        }
    }
    if (sample.displayName.isEmpty())
        sample.displayName = QLatin1Char('.') + sample.extension;
    return sample;
}

std::optional<TypeOverlap>
FileTypeProbe::overlap(const QList<Route>& routes, const QString& extension,
                       const std::optional<QString>& typeIdentifier) const {
    for (const Route& route : routes) {
        const bool extensionMatch = route.extensions.contains(extension);
        const bool identifierMatch = route.matchesTypeIdentifier(typeIdentifier, m_types);
        if (!extensionMatch && !identifierMatch)
            continue;
        TypeOverlapKind kind;
        if (!typeIdentifier)
            kind = TypeOverlapKind::exact;
        else if (typeIdentifier->isEmpty())
            kind = extensionMatch ? TypeOverlapKind::exact : TypeOverlapKind::partial;
        else
            kind = extensionMatch && identifierMatch ? TypeOverlapKind::exact
                                                     : TypeOverlapKind::partial;
        return TypeOverlap{route, kind};
    }
    return std::nullopt;
}

QStringList FileTypeProbe::sampleContentTypes(const QString& extension,
                                              const std::optional<QString>& typeIdentifier) const {
    QStringList result;
    if (typeIdentifier && !typeIdentifier->isEmpty()) {
        if (const std::optional<QString> type = m_types.recognisedType(*typeIdentifier))
            result.append(*type);
    }
    if (const std::optional<QString> type = m_types.typeForFilenameExtension(extension)) {
        if (result.isEmpty() || result.first() != *type)
            result.append(*type);
    }
    return result;
}

QString FileTypeProbe::customRouteID(const QString& extension,
                                     const std::optional<QString>& typeIdentifier,
                                     const QStringList& existingIDs) {
    const QString base =
        QStringLiteral("custom.") +
        (typeIdentifier && !typeIdentifier->isEmpty() ? *typeIdentifier : extension);
    if (!existingIDs.contains(base))
        return base;
    for (qint64 n = 2;; ++n) {
        const QString candidate = base + QLatin1Char('.') + QString::number(n);
        if (!existingIDs.contains(candidate))
            return candidate;
    }
}
