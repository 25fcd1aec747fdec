// The x-corvanta link parser and the checks on its paths. The first byte picks
// how the rest arrives: as the query of an open link, or as a whole URL (text
// or encoded, as D-Bus and `corvanta open` hand it over).
//
// Properties: a parsed request names at least one non-empty file; every path,
// whatever its bytes, survives the trip into a file URL, through its encoded
// form, and back; the path checks accept only absolute paths of existing items
// that are not folders, count every other one, and keep the bytes exactly.
#include "core/model/LocalFileURL.h"
#include "core/routing/OpenRequestParser.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <sys/stat.h>

namespace {
void check(bool condition) {
    if (!condition)
        std::abort();
}

// Real items the fuzzer can name: seeds use this folder.
const QByteArray base = "/tmp/corvanta-fuzz-links";

void makeItems() {
    QDir().mkpath(QString::fromLatin1(base + "/folder.md"));
    QDir().mkpath(QString::fromLatin1(base + "/sub"));
    for (const char* name : {"/a.md", "/b c.md", "/sub/n.md", "/%41.md"}) {
        QFile file(QString::fromLatin1(base + name));
        file.open(QIODevice::WriteOnly);
    }
}

void checkPath(const QByteArray& path) {
    check(!path.isEmpty());
    const QUrl url = LocalFileURL::fromNativePath(path);
    if (!path.startsWith('/'))
        return;
    check(url.isValid() && url.isLocalFile());
    check(LocalFileURL::nativePath(url) == path);
    // What D-Bus carries is the encoded text; it must name the same bytes.
    const QUrl carried = QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode);
    check(carried.isValid());
    check(LocalFileURL::nativePath(carried) == path);
}

void checkRequest(const QUrl& url) {
    const std::optional<OpenRequest> request = parseOpenRequest(url);
    if (!request)
        return;
    check(url.scheme().compare(QLatin1String("x-corvanta"), Qt::CaseInsensitive) == 0);
    check(url.host().compare(QLatin1String("open"), Qt::CaseInsensitive) == 0);
    check(!request->files.isEmpty());
    check(!request->rule || !request->rule->isEmpty());
    for (const QByteArray& path : request->files)
        checkPath(path);

    const CheckedLinkPaths checked = checkLinkPaths(request->files);
    check(checked.rejected + checked.accepted.size() == request->files.size());
    qsizetype next = 0;
    for (const QUrl& accepted : checked.accepted) {
        check(accepted.isLocalFile());
        const QByteArray path = LocalFileURL::nativePath(accepted);
        check(path.startsWith('/') && !path.contains('\0'));
        struct stat info {};
        check(::stat(path.constData(), &info) == 0 && !S_ISDIR(info.st_mode));
        // Accepted paths keep link order and their exact bytes.
        while (next < request->files.size() && request->files[next] != path)
            ++next;
        check(next < request->files.size());
        ++next;
    }
    // The same link parses the same way again.
    check(parseOpenRequest(url) == request);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeItems();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1,
                          static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
    case 0:
        checkRequest(QUrl::fromEncoded("x-corvanta://open?" + rest));
        break;
    case 1:
        checkRequest(QUrl::fromEncoded(rest));
        break;
    default:
        checkRequest(QUrl(QString::fromUtf8(rest)));
        break;
    }
    return 0;
}
