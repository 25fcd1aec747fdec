#include "platform/linux/XattrFileMetadata.h"

#include "core/model/LocalFileURL.h"

#include <cerrno>
#include <sys/xattr.h>

std::optional<QByteArray> XattrFileMetadata::attribute(const QByteArray& path, const char* name) {
    QByteArray value(256, Qt::Uninitialized);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t length = ::getxattr(path.constData(), name, value.data(), value.size());
        if (length >= 0) {
            value.truncate(length);
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
        // Grown between the two calls, or larger than the first guess.
        const ssize_t needed = ::getxattr(path.constData(), name, nullptr, 0);
        if (needed < 0)
            return std::nullopt;
        value.resize(needed + 1);
    }
    return std::nullopt;
}

std::optional<QString> XattrFileMetadata::creatorName(const QUrl& file) const {
    const QByteArray encoded = LocalFileURL::nativePath(file);
    if (encoded.isEmpty())
        return std::nullopt;
    for (const char* name : {"user.xdg.creator", "user.dublincore.creator"}) {
        auto value = attribute(encoded, name);
        if (!value)
            continue;
        // Some writers store the terminating NUL with the text.
        while (value->endsWith('\0'))
            value->chop(1);
        // The first attribute present decides, even when it is empty.
        const QString text = QString::fromUtf8(*value);
        if (text.isEmpty())
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}
