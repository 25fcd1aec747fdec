// URL templates of editors reached through their own URL scheme. The input is
// split at the first two 0xFE bytes into a template, a file path and a home
// folder (all three arbitrary bytes).
//
// Properties: a template without "{" comes out unchanged; each encoded
// placeholder yields only characters a URL query value may hold, and decodes to
// exactly the bytes of its value, even when the path is not UTF-8; a template
// with no unencoded placeholder gains no white space from the path; a string the
// strict check accepts is one Qt accepts too.
#include "core/model/LocalFileURL.h"
#include "core/routing/URLTemplateExpander.h"

#include <QByteArray>
#include <QFile>
#include <cstdlib>

namespace {
void check(bool condition) {
    if (!condition)
        std::abort();
}

const QByteArray keptUnencoded =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@-._~!$'()*:/";

// Only kept characters and upper-case escapes.
bool isEncodedValue(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'%') {
            if (i + 2 >= text.size())
                return false;
            for (const QChar h : {text.at(i + 1), text.at(i + 2)}) {
                if (!((h >= u'0' && h <= u'9') || (h >= u'A' && h <= u'F')))
                    return false;
            }
            i += 2;
        } else if (c.unicode() > 0x7f || !keptUnencoded.contains(char(c.unicode()))) {
            return false;
        }
    }
    return true;
}

QByteArray abbreviated(const QByteArray& path, const QByteArray& home) {
    if (home.isEmpty())
        return path;
    if (path == home)
        return "~";
    const QByteArray prefix = home.endsWith('/') ? home : home + '/';
    return path.startsWith(prefix) ? "~/" + path.mid(prefix.size()) : path;
}

qsizetype whiteSpaceIn(const QString& text) {
    qsizetype count = 0;
    for (const QChar c : text)
        count += c.isSpace() || c.unicode() < 0x20 ? 1 : 0;
    return count;
}

bool hasUnencodedPlaceholder(const QString& urlTemplate) {
    for (const char* p :
         {"{folderpath~}", "{folderpath}", "{filepath~}", "{filepath}", "{filename}"}) {
        if (urlTemplate.contains(QLatin1String(p)))
            return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype first = input.indexOf('\xfe');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\xfe', first + 1);
    const QString urlTemplate = QString::fromUtf8(first < 0 ? input : input.left(first));
    QByteArray path = first < 0 ? QByteArray("/home/ann/a b.md")
                                : input.mid(first + 1, second < 0 ? -1 : second - first - 1);
    const QByteArray home = second < 0 ? QByteArray("/home/ann") : input.mid(second + 1);
    if (!path.startsWith('/'))
        path.prepend('/');
    const QUrl url = LocalFileURL::fromNativePath(path);
    check(LocalFileURL::nativePath(url) == path);
    const QString homeText = QFile::decodeName(home);
    // The home folder as the expander sees it, after its trip through QString.
    const QByteArray homeBytes = QFile::encodeName(homeText);

    const QString expanded = expandURLTemplate(urlTemplate, url, homeText);
    if (!urlTemplate.contains(u'{'))
        check(expanded == urlTemplate);
    if (!hasUnencodedPlaceholder(urlTemplate))
        check(whiteSpaceIn(expanded) == whiteSpaceIn(urlTemplate));
    if (isStrictURL(expanded))
        check(QUrl(expanded, QUrl::StrictMode).isValid());

    const QByteArray folder = LocalFileURL::folderPath(path);
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const std::pair<const char*, QByteArray> encoded[] = {
        {"{filepath.urlencoded}", path},
        {"{folderpath.urlencoded}", folder},
        {"{filename.urlencoded}", name},
        {"{filepath~.urlencoded}", abbreviated(path, homeBytes)},
        {"{folderpath~.urlencoded}", abbreviated(folder, homeBytes)},
    };
    for (const auto& [placeholder, value] : encoded) {
        const QString out = expandURLTemplate(QLatin1String(placeholder), url, homeText);
        check(isEncodedValue(out));
        check(QByteArray::fromPercentEncoding(out.toLatin1()) == value);
        // In a template the value is a valid URL, whatever the file is called.
        check(isStrictURL(QStringLiteral("x-e://o?v=") + out));
    }
    return 0;
}
