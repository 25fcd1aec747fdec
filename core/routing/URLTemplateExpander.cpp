#include "core/routing/URLTemplateExpander.h"

#include "core/model/LocalFileURL.h"

#include <QFile>
#include <array>

namespace {
const QByteArray queryValueKeeps = QByteArrayLiteral("@!$'()*:/");

QByteArray abbreviatingHomeBytes(const QByteArray& path, const QByteArray& home) {
    if (home.isEmpty())
        return path;
    if (path == home)
        return QByteArrayLiteral("~");
    const QByteArray prefix = home.endsWith('/') ? home : home + '/';
    if (path.startsWith(prefix))
        return QByteArrayLiteral("~/") + path.mid(prefix.size());
    return path;
}

QByteArray lastComponentOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Values are computed on the path's bytes so that an encoded value carries
// exactly the bytes of the name, even when they are not UTF-8.
struct Placeholder {
    const char* text;
    enum Value { folderTilde, folder, fileTilde, file, name } value;
    bool encoded;
};
constexpr std::array<Placeholder, 10> placeholders{{
    {"{folderpath~.urlencoded}", Placeholder::folderTilde, true},
    {"{folderpath.urlencoded}", Placeholder::folder, true},
    {"{filepath~.urlencoded}", Placeholder::fileTilde, true},
    {"{filepath.urlencoded}", Placeholder::file, true},
    {"{filename.urlencoded}", Placeholder::name, true},
    {"{folderpath~}", Placeholder::folderTilde, false},
    {"{folderpath}", Placeholder::folder, false},
    {"{filepath~}", Placeholder::fileTilde, false},
    {"{filepath}", Placeholder::file, false},
    {"{filename}", Placeholder::name, false},
}};

bool isSchemeStart(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isSchemeChar(QChar c) {
    return isSchemeStart(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}
bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool isURLChar(QChar c) {
    static const QString others = QStringLiteral("-._~:/?#[]@!$&'()*+,;=");
    return isSchemeStart(c) || (c >= u'0' && c <= u'9') || others.contains(c);
}
} // namespace

QString abbreviatingHome(const QString& path, const QString& home) {
    return QFile::decodeName(
        abbreviatingHomeBytes(QFile::encodeName(path), QFile::encodeName(home)));
}

QString percentEncodedQueryValue(const QString& value) {
    return QString::fromLatin1(value.toUtf8().toPercentEncoding(queryValueKeeps));
}

QString expandURLTemplate(const QString& urlTemplate, const QUrl& fileURL, const QString& home) {
    if (urlTemplate.isEmpty())
        return {};
    const QByteArray homeBytes = QFile::encodeName(home);
    const QByteArray filePath = LocalFileURL::nativePath(fileURL);
    const QByteArray folderPath = LocalFileURL::folderPath(filePath);
    auto bytesFor = [&](Placeholder::Value value) -> QByteArray {
        switch (value) {
        case Placeholder::folderTilde:
            return abbreviatingHomeBytes(folderPath, homeBytes);
        case Placeholder::folder:
            return folderPath;
        case Placeholder::fileTilde:
            return abbreviatingHomeBytes(filePath, homeBytes);
        case Placeholder::file:
            return filePath;
        case Placeholder::name:
            return lastComponentOf(filePath);
        }
        return {};
    };

    QString out;
    out.reserve(urlTemplate.size());
    qsizetype i = 0;
    while (i < urlTemplate.size()) {
        if (urlTemplate.at(i) != u'{') {
            out.append(urlTemplate.at(i));
            ++i;
            continue;
        }
        const Placeholder* match = nullptr;
        for (const Placeholder& p : placeholders) {
            if (QStringView(urlTemplate).mid(i).startsWith(QLatin1String(p.text))) {
                match = &p;
                break;
            }
        }
        if (!match) {
            out.append(u'{');
            ++i;
            continue;
        }
        const QByteArray value = bytesFor(match->value);
        out.append(match->encoded ? QString::fromLatin1(value.toPercentEncoding(queryValueKeeps))
                                  : QFile::decodeName(value));
        i += qsizetype(qstrlen(match->text));
    }
    return out;
}

bool isStrictURL(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 1 || !isSchemeStart(text.at(0)))
        return false;
    for (qsizetype i = 1; i < colon; ++i) {
        if (!isSchemeChar(text.at(i)))
            return false;
    }
    for (qsizetype i = colon + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'%') {
            if (i + 2 >= text.size() || !isHexDigit(text.at(i + 1)) || !isHexDigit(text.at(i + 2)))
                return false;
            i += 2;
        } else if (!isURLChar(c)) {
            return false;
        }
    }
    return QUrl(text, QUrl::StrictMode).isValid();
}
