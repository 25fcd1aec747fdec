// File names that a shell, a URL parser or a text codec would mangle reach the
// editor byte for byte, one item per file, whichever way the editor is reached.
#include "core/model/LocalFileURL.h"
#include "core/routing/EditorOpener.h"
#include "tests/support/FakePlatform.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QByteArray home = "/home/ann";

// Each used as a folder name and as a file name; split at "/", which no name can hold.
const QList<QByteArray> hostileNames =
    QByteArray("with space/ leading /quote's \"double\"/new\nline/tab\tcr\r/$(touch p)/`id`/"
               "${HOME}/100%/%41%2F%00/-rf/--help/a&b=c+d;e,f/#h?q/back\\slash/*[a]?/{filename}/"
               "caf\xe9/\xff\xfe/\xc3(/\xed\xa0\x80/gr\xc3\xbc\xc3\x9f")
        .split('/');

QByteArray folderOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/'));
}

struct Mode {
    const char* name;
    bool opensFolder;
    std::optional<QString> urlTemplate;
    // What the editor must receive for one file, in the order of the items.
    std::function<QList<QByteArray>(const QByteArray& path)> expected;
};

TEST(HostileNames, ReachTheEditorByteForByteInEveryMode) {
    const Mode modes[] = {
        {"application", false, std::nullopt, [](const QByteArray& p) { return QList{p}; }},
        {"folder", true, std::nullopt, [](const QByteArray& p) { return QList{folderOf(p)}; }},
        {"template", false,
         QStringLiteral("x-notes://open?p={filepath.urlencoded}&d={folderpath~.urlencoded}"
                        "&n={filename.urlencoded}"),
         [](const QByteArray& p) {
             return QList{p, "~" + folderOf(p).mid(home.size()), p.mid(p.lastIndexOf('/') + 1)};
         }},
    };
    QList<QUrl> urls;
    QList<QByteArray> paths;
    for (const QByteArray& name : hostileNames) {
        paths.append(home + '/' + name + '/' + name + ".md");
        urls.append(LocalFileURL::fromNativePath(paths.last()));
    }
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        FakePlatform fake;
        EditorOpener opener(fake.workspace, fake.alerts, [] { return QFile::decodeName(home); });
        Editor editor;
        editor.bundleID = QStringLiteral("org.example.Editor");
        fake.workspace.install({editor.bundleID, "Editor", {}, {}, {}, {}});
        editor.opensFolder = mode.opensFolder;
        editor.urlSchemeTemplate = mode.urlTemplate;
        opener.openFiles(urls, editor, {});
        EXPECT_EQ(fake.alerts.beeps, 0);

        // What D-Bus or a launcher carries is the encoded form: read it back from that.
        QList<QList<QByteArray>> received, expected;
        if (mode.urlTemplate) {
            for (const QUrl& url : fake.workspace.openedURLs) {
                const QByteArray text = url.toEncoded();
                // Nothing a shell or a URL parser could split on stays unencoded.
                for (const char c : text)
                    EXPECT_TRUE(c > 0x20 && c < 0x7f && !QByteArray("\"`\\ <>{}|^").contains(c))
                        << text.constData();
                QList<QByteArray> values;
                for (const QByteArray& item : text.mid(text.indexOf('?') + 1).split('&'))
                    values.append(QByteArray::fromPercentEncoding(item.mid(item.indexOf('=') + 1)));
                received.append(values);
            }
        } else {
            ASSERT_EQ(fake.workspace.openCalls().size(), 1) << "one launch for all files";
            for (const QUrl& url : fake.workspace.openCalls()[0].urls)
                received.append({LocalFileURL::nativePath(QUrl::fromEncoded(url.toEncoded()))});
        }
        for (const QByteArray& path : paths)
            expected.append(mode.expected(path));
        EXPECT_EQ(received, expected);
    }
}
} // namespace
