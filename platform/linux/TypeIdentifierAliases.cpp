#include "platform/linux/TypeIdentifierAliases.h"

#include <QHash>

namespace {
struct Alias {
    const char* identifier;
    const char* mimeType;
};

// Identifiers compare exactly, as stored. The MIME side may itself be an alias
// in shared-mime-info; the type system resolves that.
constexpr Alias aliases[] = {
    {"public.data", "application/octet-stream"},
    {"public.text", "text/plain"},
    {"public.plain-text", "text/plain"},
    {"public.utf8-plain-text", "text/plain"},
    {"public.utf16-plain-text", "text/plain"},
    {"net.daringfireball.markdown", "text/markdown"},
    {"public.markdown", "text/markdown"},
    {"public.html", "text/html"},
    {"public.xhtml", "application/xhtml+xml"},
    {"public.xml", "application/xml"},
    {"public.json", "application/json"},
    {"public.yaml", "application/x-yaml"},
    {"public.css", "text/css"},
    {"com.netscape.javascript-source", "application/javascript"},
    {"public.python-script", "text/x-python"},
    {"public.shell-script", "application/x-shellscript"},
    {"public.c-source", "text/x-csrc"},
    {"public.c-header", "text/x-chdr"},
    {"public.c-plus-plus-source", "text/x-c++src"},
    {"public.comma-separated-values-text", "text/csv"},
    {"public.tab-separated-values-text", "text/tab-separated-values"},
    {"public.rtf", "application/rtf"},
    {"com.adobe.pdf", "application/pdf"},
    {"public.png", "image/png"},
    {"public.jpeg", "image/jpeg"},
    {"public.svg-image", "image/svg+xml"},
    {"org.tug.tex", "text/x-tex"},
};

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> byIdentifier = [] {
        QHash<QString, QString> map;
        for (const Alias& alias : aliases)
            map.insert(QString::fromLatin1(alias.identifier), QString::fromLatin1(alias.mimeType));
        return map;
    }();
    return byIdentifier;
}
} // namespace

std::optional<QString> TypeIdentifierAliases::mimeTypeFor(const QString& identifier) {
    const auto it = table().constFind(identifier);
    if (it == table().constEnd())
        return std::nullopt;
    return *it;
}
