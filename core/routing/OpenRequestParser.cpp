#include "core/routing/OpenRequestParser.h"

#include "core/model/LocalFileURL.h"
#include "core/routing/URLTemplateExpander.h"

#include <QUrlQuery>

std::optional<OpenRequest> parseOpenRequest(const QUrl& url) {
    if (url.scheme().compare(QLatin1String(openRequestScheme), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (url.host().compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    OpenRequest request;
    if (url.isValid() && url.hasQuery()) {
        const QUrlQuery query(url.query(QUrl::FullyEncoded));
        for (const auto& [encodedName, encodedValue] : query.queryItems(QUrl::FullyEncoded)) {
            if (encodedValue.isEmpty())
                continue;
            const QString name = QUrl::fromPercentEncoding(encodedName.toLatin1());
            if (name == QLatin1String("file")) {
                // Decoded to bytes, not text: the path names a file byte for byte.
                request.files.append(QByteArray::fromPercentEncoding(encodedValue.toLatin1()));
            } else if (name == QLatin1String("rule")) {
                request.rule = QUrl::fromPercentEncoding(encodedValue.toLatin1());
            }
        }
    }
    if (request.files.isEmpty())
        return std::nullopt;
    return request;
}

QString urlSchemeTemplate(const QString& ruleID) {
    return QStringLiteral("x-corvanta://open?rule=") + percentEncodedQueryValue(ruleID) +
           QStringLiteral("&file=");
}

CheckedLinkPaths checkLinkPaths(const QList<QByteArray>& paths) {
    CheckedLinkPaths result;
    for (const QByteArray& path : paths) {
        if (path.startsWith('/') && LocalFileURL::isExistingNonFolder(path))
            result.accepted.append(LocalFileURL::fromNativePath(path));
        else
            ++result.rejected;
    }
    return result;
}
