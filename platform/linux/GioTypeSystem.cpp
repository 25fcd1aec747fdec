#include "platform/linux/GioTypeSystem.h"

#include "platform/linux/GLibPointers.h"
#include "platform/linux/TypeIdentifierAliases.h"

#include <QFile>

namespace {
const char octetStream[] = "application/octet-stream";
}

std::optional<QString> GioTypeSystem::typeForFilenameExtension(const QString& extension) const {
    if (extension.isEmpty())
        return std::nullopt;
    const QByteArray name = QByteArrayLiteral("x.") + extension.toUtf8();
    gboolean uncertain = FALSE;
    GCharPtr guessed(g_content_type_guess(name.constData(), nullptr, 0, &uncertain));
    if (!guessed)
        return std::nullopt;
    if (uncertain && g_content_type_equals(guessed.get(), octetStream))
        return std::nullopt;
    // Only data types: a name never guesses as a folder or a URL scheme handler.
    if (!g_content_type_is_a(guessed.get(), octetStream))
        return std::nullopt;
    return QString::fromUtf8(guessed.get());
}

const QSet<QString>& GioTypeSystem::registeredTypes() const {
    if (m_registered.isEmpty()) {
        GList* types = g_content_types_get_registered();
        for (GList* item = types; item; item = item->next)
            m_registered.insert(QString::fromUtf8(static_cast<const char*>(item->data)));
        g_list_free_full(types, g_free);
    }
    return m_registered;
}

std::optional<QString> GioTypeSystem::recognisedType(const QString& identifier) const {
    if (identifier.isEmpty())
        return std::nullopt;
    const QString mimeType = TypeIdentifierAliases::mimeTypeFor(identifier).value_or(identifier);
    GCharPtr canonical(g_content_type_from_mime_type(mimeType.toUtf8().constData()));
    if (!canonical)
        return std::nullopt;
    const QString type = QString::fromUtf8(canonical.get());
    if (!registeredTypes().contains(type))
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
    if (path.isEmpty())
        return std::nullopt;
    GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                 G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (!info)
        return std::nullopt;
    const char* type = g_file_info_get_content_type(info.get());
    if (!type || !*type)
        return std::nullopt;
    return QString::fromUtf8(type);
}
