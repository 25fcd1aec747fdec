// File names that a shell, a URL parser or a text codec would mangle reach the
// editor byte for byte, one argument per file, whichever way the editor is
// reached.
#include "core/routing/EditorOpener.h"
#include "core/routing/LocalFileURL.h"
#include "core/routing/URLTemplateExpander.h"
#include "tests/support/FakePlatform.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QByteArray home = "/home/ann";

// Names, each used as a file name and as a folder name.
const QList<QByteArray>& hostileNames() {
    static const QList<QByteArray> names{
        "with space",
        " leading and trailing ",
        "quote's \"double\"",
        "new\nline",
        "carriage\rreturn\ttab",
        "$(touch pwned)",
        "`id`",
        "${HOME}",
        "100%",
        "%41%2F%00",
        "-rf",
        "--help",
        "-",
        "a&b=c+d;e,f",
        "#hash?query",
        "back\\slash",
        "*[a]?",
        "~tilde",
        "{filename}",
        "caf\xe9",            // Latin-1
        "\xff\xfe",           // never UTF-8
        "\xc3(",              // a cut two-byte sequence
        "\xed\xa0\x80",       // an encoded surrogate
        "gr\xc3\xbc\xc3\x9f", // UTF-8
    };
    return names;
}

std::string printable(const QByteArray& bytes) {
    return bytes.toPercentEncoding("/").toStdString();
}

class HostileNames : public ::testing::Test {
protected:
    void SetUp() override {
        fake.workspace.install(
            {QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), {}, {}, {}, {}});
        opener = std::make_unique<EditorOpener>(fake.workspace, fake.alerts,
                                                [] { return QFile::decodeName(home); });
    }
    static Editor editor() {
        Editor e;
        e.bundleID = QStringLiteral("org.example.Editor");
        e.name = QStringLiteral("Editor");
        return e;
    }
    FakePlatform fake;
    std::unique_ptr<EditorOpener> opener;
};

TEST_F(HostileNames, ApplicationModePassesEachFileAsItsOwnURL) {
    QList<QByteArray> paths;
    QList<QUrl> urls;
    for (const QByteArray& name : hostileNames()) {
        paths.append(home + "/" + name + "/" + name + ".md");
        urls.append(LocalFileURL::fromNativePath(paths.last()));
    }
    opener->openFiles(urls, editor(), {});
    ASSERT_EQ(fake.workspace.openCalls().size(), 1);
    const QList<QUrl>& passed = fake.workspace.openCalls()[0].urls;
    ASSERT_EQ(passed.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        EXPECT_TRUE(passed[i].isLocalFile()) << printable(paths[i]);
        EXPECT_EQ(LocalFileURL::nativePath(passed[i]), paths[i]) << printable(paths[i]);
        // What D-Bus or a launcher carries is the encoded form: it must read back the same.
        EXPECT_EQ(LocalFileURL::nativePath(QUrl::fromEncoded(passed[i].toEncoded())), paths[i])
            << printable(paths[i]);
    }
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
}

TEST_F(HostileNames, FolderModePassesEachFilesFolderExactly) {
    Editor folders = editor();
    folders.opensFolder = true;
    QList<QByteArray> expected;
    QList<QUrl> urls;
    for (const QByteArray& name : hostileNames()) {
        expected.append(home + "/" + name);
        urls.append(LocalFileURL::fromNativePath(expected.last() + "/notes.md"));
    }
    opener->openFiles(urls, folders, {});
    ASSERT_EQ(fake.workspace.openCalls().size(), 1);
    const QList<QUrl>& passed = fake.workspace.openCalls()[0].urls;
    ASSERT_EQ(passed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(LocalFileURL::nativePath(passed[i]), expected[i]) << printable(expected[i]);
}

// Splits an expanded URL's query into raw (still encoded) values by name.
QHash<QByteArray, QByteArray> encodedQueryValues(const QByteArray& url) {
    QHash<QByteArray, QByteArray> values;
    const QByteArray query = url.mid(url.indexOf('?') + 1);
    for (const QByteArray& item : query.split('&')) {
        const qsizetype equals = item.indexOf('=');
        values.insert(item.left(equals), item.mid(equals + 1));
    }
    return values;
}

TEST_F(HostileNames, TemplateModeEncodesEveryByteOfEveryValue) {
    Editor notes = editor();
    notes.urlSchemeTemplate =
        QStringLiteral("x-notes://open?path={filepath.urlencoded}&dir={folderpath.urlencoded}"
                       "&name={filename.urlencoded}&short={filepath~.urlencoded}"
                       "&shortdir={folderpath~.urlencoded}");
    QList<QByteArray> paths;
    QList<QUrl> urls;
    for (const QByteArray& name : hostileNames()) {
        paths.append(home + "/" + name + "/" + name + ".md");
        urls.append(LocalFileURL::fromNativePath(paths.last()));
    }
    opener->openFiles(urls, notes, {});
    EXPECT_EQ(fake.alerts.beeps, 0) << "every expanded link must be a valid URL";
    const QList<QUrl>& opened = fake.workspace.openedURLs();
    ASSERT_EQ(opened.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QByteArray& path = paths[i];
        const QByteArray folder = path.left(path.lastIndexOf('/'));
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        const QByteArray text = opened[i].toEncoded();
        SCOPED_TRACE(text.toStdString());
        // Nothing a shell or a URL parser could split on is left unencoded.
        for (const char c : text) {
            EXPECT_TRUE(c > 0x20 && c < 0x7f && !QByteArray("\"`\\ <>{}|^").contains(c))
                << "unencoded byte " << int(static_cast<unsigned char>(c));
        }
        const QHash<QByteArray, QByteArray> values = encodedQueryValues(text);
        ASSERT_EQ(values.size(), 5);
        EXPECT_EQ(QByteArray::fromPercentEncoding(values["path"]), path);
        EXPECT_EQ(QByteArray::fromPercentEncoding(values["dir"]), folder);
        EXPECT_EQ(QByteArray::fromPercentEncoding(values["name"]), name);
        EXPECT_EQ(QByteArray::fromPercentEncoding(values["short"]), "~" + path.mid(home.size()));
        EXPECT_EQ(QByteArray::fromPercentEncoding(values["shortdir"]),
                  "~" + folder.mid(home.size()));
    }
}

TEST_F(HostileNames, UnencodedPlaceholderWithAnUnsafeNameBeepsInsteadOfOpening) {
    // A raw path cannot stand in a URL once it holds a space or a newline; such a
    // file is refused, the others of the batch still open.
    Editor notes = editor();
    notes.urlSchemeTemplate = QStringLiteral("x-notes://open?path={filepath}");
    const QList<QUrl> urls{LocalFileURL::fromNativePath("/n/plain.md"),
                           LocalFileURL::fromNativePath("/n/with space.md"),
                           LocalFileURL::fromNativePath("/n/new\nline.md"),
                           LocalFileURL::fromNativePath("/n/\xff.md")};
    opener->openFiles(urls, notes, {});
    EXPECT_EQ(fake.alerts.beeps, 3);
    EXPECT_EQ(fake.workspace.openedURLs(),
              QList<QUrl>{QUrl(QStringLiteral("x-notes://open?path=/n/plain.md"))});
}
} // namespace
