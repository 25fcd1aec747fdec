#include "platform/linux/GioTypeSystem.h"

#include "platform/linux/GLibPointers.h"
#include "platform/linux/TypeIdentifierAliases.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
const char octetStream[] = "application/octet-stream";

// The data type GIO guesses from a file name alone. A guess of octet-stream
// means the name says nothing; folders and URL scheme handlers are no data.
std::optional<QString> dataTypeForName(const QByteArray& name) {
    gboolean uncertain = FALSE;
    GCharPtr guessed(g_content_type_guess(name.constData(), nullptr, 0, &uncertain));
    if (!guessed)
        return std::nullopt;
    if (g_content_type_equals(guessed.get(), octetStream))
        return std::nullopt;
    if (!g_content_type_is_a(guessed.get(), octetStream))
        return std::nullopt;
    return QString::fromUtf8(guessed.get());
}
} // namespace

std::optional<QString> GioTypeSystem::typeForFilenameExtension(const QString& extension) const {
    if (extension.isEmpty())
        return std::nullopt;
    return dataTypeForName(QByteArrayLiteral("x.") + extension.toUtf8());
}

bool GioTypeSystem::isRegistered(const QString& type) {
    const qsizetype slash = type.indexOf(QLatin1Char('/'));
    if (slash <= 0 || slash == type.size() - 1 || type.contains(QLatin1String("..")))
        return false;
    const QByteArray relative = "/" + QFile::encodeName(type) + ".xml";
    for (const gchar* const* dir = g_content_type_get_mime_dirs(); dir && *dir; ++dir) {
        const QByteArray path = QByteArray(*dir) + relative;
        struct stat info;
        if (::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
            return true;
    }
    return false;
}

std::optional<QString> GioTypeSystem::recognisedType(const QString& identifier) const {
    if (identifier.isEmpty())
        return std::nullopt;
    const QString mimeType = TypeIdentifierAliases::mimeTypeFor(identifier).value_or(identifier);
    GCharPtr canonical(g_content_type_from_mime_type(mimeType.toUtf8().constData()));
    if (!canonical)
        return std::nullopt;
    const QString type = QString::fromUtf8(canonical.get());
    if (!isRegistered(type))
        return std::nullopt;
    return type;
}

bool GioTypeSystem::conformsTo(const QString& type, const QString& parent) const {
    const QString a = recognisedType(type).value_or(type);
    const QString b = recognisedType(parent).value_or(parent);
    if (a.isEmpty() || b.isEmpty())
        return false;
    return g_content_type_is_a(a.toUtf8().constData(), b.toUtf8().constData());
}

QString GioTypeSystem::typeDescription(const QString& type) const {
    const auto known = recognisedType(type);
    if (!known)
        return {};
    GCharPtr description(g_content_type_get_description(known->toUtf8().constData()));
    return qStringFromUtf8(description.get());
}

std::optional<QString> GioTypeSystem::recordedContentType(const QString& path) const {
    // By name, as the file system of the original platform records it: GIO's
    // content sniffing would call every unknown text file text/plain.
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    if (name.isEmpty())
        return std::nullopt;
    return dataTypeForName(name);
}
