#include "core/selection/AccessibilitySelectionSource.h"
#include "core/selection/FileSelectionResolver.h"
#include "core/selection/FrontmostFileManagerSelectionSource.h"
#include "tests/support/FakeSelectionPorts.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files made in a temporary folder; paths are bytes, as the kernel sees them.
class SelectionFolder {
public:
    SelectionFolder() { root = QFile::encodeName(dir.path()); }
    // Qt cannot name a file whose name is not UTF-8, so it could not remove it.
    ~SelectionFolder() { std::filesystem::remove_all(std::string(root.constData())); }
    QByteArray at(const QByteArray& name) const { return root + '/' + name; }
    QByteArray file(const QByteArray& name) {
        if (FILE* f = std::fopen(at(name).constData(), "w"))
            std::fclose(f);
        return at(name);
    }
    QByteArray folder(const QByteArray& name) {
        EXPECT_EQ(::mkdir(at(name).constData(), 0700), 0);
        return at(name);
    }
    QByteArray link(const QByteArray& name, const QByteArray& target) {
        EXPECT_EQ(::symlink(target.constData(), at(name).constData()), 0);
        return at(name);
    }
    QByteArray fifo(const QByteArray& name) {
        EXPECT_EQ(::mkfifo(at(name).constData(), 0600), 0);
        return at(name);
    }
    QTemporaryDir dir;
    QByteArray root;
};

QUrl url(const QByteArray& path) {
    return LocalFileURL::fromNativePath(path);
}

TEST(StandardizedPath, ResolvesDotsAndSlashesByTextAlone) {
    const struct {
        QByteArray in;
        std::optional<QByteArray> out;
    } rows[] = {
        {"/a/./b", "/a/b"},
        {"/a/x/../b", "/a/b"},
        {"/../a", "/a"},
        {"//a//b/", "/a/b"},
        {"/", "/"},
        {"/a/b/..", "/a"},
        {"/a/.../b", "/a/.../b"},
        {"a/b", std::nullopt},
        {"", std::nullopt},
        {"/caf\xe9/./x", "/caf\xe9/x"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FileSelectionResolver::standardizedPath(row.in), row.out) << row.in.constData();
}

TEST(SelectionCleaning, KeepsRegularFilesOnceInStandardFormAtFirstPosition) {
    SelectionFolder f;
    const QByteArray plain = f.file("plain.txt");
    const QByteArray spaced = f.file("beta gamma.txt");
    const QByteArray latin1 = f.file("caf\xe9.bin");
    const QByteArray folder = f.folder("sub");
    const QByteArray inner = f.file("sub/inner.txt");
    const QByteArray toFile = f.link("to-file", plain);
    f.link("to-folder", folder);
    const QByteArray fifo = f.fifo("pipe");
    // For the kernel "up/.." is the parent of the link's target (elsewhere);
    // for the text it is "x", where no such file exists.
    f.folder("elsewhere");
    const QByteArray target = f.folder("elsewhere/y");
    f.file("elsewhere/only-here.txt");
    const QByteArray deep = f.folder("deep");
    f.folder("deep/x");
    f.link("deep/x/up", target);

    // (A folder and a missing file: see the delegate's selection test.)
    const QList<QUrl> in{
        url(f.at("./plain.txt")), // kept as plain.txt
        url(spaced),              // kept
        url(plain),               // duplicate of the first
        url(f.at("sub/../sub/inner.txt")),
        url(latin1),            // non-UTF-8 name, kept byte for byte
        url(toFile),            // a link to a file is kept as the link
        url(f.at("to-folder")), // a link to a folder is a folder
        url(fifo),              // not a regular file
        QUrl(QStringLiteral("https://example.org/plain.txt")),
        url(deep + "/x/up/../only-here.txt"),
        url(inner), // duplicate of the sub/../sub form
    };
    EXPECT_EQ(nativePaths(FileSelectionResolver::cleaned(in)),
              (QList<QByteArray>{plain, spaced, inner, latin1, toFile}));
}

TEST(FileSelectionResolver, AccessibilityFirstThenTheFileManagerAndSaysWhichAnswered) {
    using Answer = FileSelectionResolver::Answer;
    SelectionFolder f;
    f.file("a");
    f.file("b");
    f.folder("dir");
    // Space-separated names in the folder.
    const auto files = [&f](const char* names) {
        QList<QByteArray> out;
        for (const QByteArray& name : QByteArray(names).split(' '))
            if (!name.isEmpty())
                out.append(f.at(name));
        return out;
    };
    const struct {
        const char* name;
        bool allowed, trusted;
        const char *accessibility, *copied, *expected;
        Answer answer;
        int reads;
        bool copyAsked;
    } rows[] = {
        {"trusted rows win", true, true, "a b", "b", "a b", Answer::accessibility, 1, false},
        {"only folders: copied", true, true, "dir", "b a", "b a", Answer::finder, 1, true},
        {"untrusted is never read", true, false, "a", "b", "b", Answer::finder, 0, true},
        {"disabled is never asked, even trusted", false, true, "a", "", "", Answer::none, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeFrontmostApplication frontmost;
        FakeAccessibilitySelection accessibility;
        FakeFileManagerSelection fileManager;
        frontmost.bundleID = QStringLiteral("thunar");
        accessibility.trusted = row.trusted;
        for (const QByteArray& p : files(row.accessibility))
            accessibility.urls.append(url(p));
        for (const QByteArray& p : files(row.copied))
            fileManager.selections[QStringLiteral("Thunar")].append(url(p));
        Answer answer = Answer::none;
        const auto resolver = FileSelectionResolver::make({frontmost, accessibility, fileManager},
                                                          row.allowed, false);
        EXPECT_EQ(nativePaths(resolver.selectedFileURLs(&answer)), files(row.expected));
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(accessibility.reads, row.reads);
        EXPECT_TRUE(row.allowed || accessibility.trustQueries == 0);
        EXPECT_EQ(fileManager.asked, row.copyAsked ? QStringList{"Thunar"} : QStringList());
    }
}

// The frontmost-manager source: which manager is asked for which frontmost app.
TEST(FrontmostFileManagerSelectionSource, AsksOnlyAKnownFrontmostManager) {
    const struct {
        std::optional<QString> frontmost;
        QStringList asked;
    } rows[] = {
        {std::nullopt, {}},
        {QStringLiteral("thunar"), {"Thunar"}},
        {QStringLiteral("org.xfce.Thunar"), {"Thunar"}},
        {QStringLiteral("org.gnome.Nautilus"), {"Files"}},
        {QStringLiteral("org.gnome.Nautilus.Devel"), {"Files"}},
        {QStringLiteral("org.gnome.NautilusPreview"), {}},
        {QStringLiteral("org.kde.dolphin"), {"Dolphin"}},
        {QStringLiteral("pcmanfm-qt"), {"PCManFM-Qt"}},
        {QStringLiteral("caja-browser"), {"Caja"}},
        // A terminal would take Ctrl+C as an interrupt: it is never sent one.
        {QStringLiteral("xterm"), {}},
        {QStringLiteral(""), {}},
    };
    for (const auto& row : rows) {
        QStringList asked;
        const FrontmostFileManagerSelectionSource source(
            ScriptableFileManager::builtins(), [&] { return row.frontmost; },
            [&](const ScriptableFileManager& manager) {
                asked.append(manager.name);
                return QList<QUrl>();
            });
        EXPECT_TRUE(source.fileURLs().isEmpty());
        EXPECT_EQ(asked, row.asked) << row.frontmost.value_or("(none)").toStdString();
    }
}

} // namespace
