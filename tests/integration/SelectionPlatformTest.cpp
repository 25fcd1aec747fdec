// The Linux selection pieces that need no X server: reading copied file
// lists, naming the active window's application, and the selection command.
#include "app/SelectionCommand.h"
#include "core/model/LocalFileURL.h"
#include "core/selection/FileSelectionResolver.h"
#include "platform/linux/AtspiAccessibilitySelection.h"
#include "platform/linux/X11ClipboardSelection.h"
#include "platform/linux/X11FrontmostApplication.h"
#include "tests/support/FakeSelectionPorts.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(CopiedFileList, KeepsBytesAndDropsWhatIsNoLocalFile) {
    const struct {
        const char* name;
        QByteArray data;
        bool gnome;
        QList<QByteArray> paths;
    } rows[] = {
        {"uri-list with CRLF",
         "file:///a/beta%20gamma.txt\r\nfile:///a/caf%E9.bin\r\n",
         false,
         {"/a/beta gamma.txt", "/a/caf\xe9.bin"}},
        {"comments and blank lines", "# copied\n\nfile:///x\n", false, {"/x"}},
        {"percent kept literally",
         "file:///a/delta-%C3%BC%20%231%2520.txt",
         false,
         {"/a/delta-\xc3\xbc #1%20.txt"}},
        {"remote and relative dropped",
         "sftp://host/a\nhttp://x/y\n/plain/path\nfile:///ok\n",
         false,
         {"/ok"}},
        {"GNOME copy", "copy\nfile:///a\nfile:///b", true, {"/a", "/b"}},
        {"GNOME cut", "cut\nfile:///a\n", true, {"/a"}},
        {"trailing NUL", QByteArray("file:///n\0", 9), false, {"/n"}},
        {"escaped slash is refused", "file:///a%2Fb\n", false, {}},
        {"empty", "", false, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(X11ClipboardSelection::pathsFromURIList(row.data, row.gnome), row.paths)
            << row.name;
}

TEST(FrontmostWindow, DesktopIDChainTakesTheFirstThatNamesAnInstalledEntry) {
    using Facts = X11FrontmostApplication::WindowFacts;
    const QSet<QString> installed{"thunar",     "org.gnome.Nautilus", "org.kde.dolphin",
                                  "pcmanfm-qt", "debian-xterm",       "org.kde.konsole"};
    const X11FrontmostApplication::DesktopLookup lookup{
        [&](const QString& id) { return installed.contains(id); },
        [](const QString& wmClass) {
            if (wmClass == "dolphin")
                return QStringList{"org.kde.dolphin"};
            if (wmClass == "XTerm")
                return QStringList{"debian-xterm"};
            return QStringList();
        },
        [](const QString& program) {
            return program == "/usr/bin/konsole" ? QStringList{"org.kde.konsole"} : QStringList();
        }};
    const struct {
        const char* name;
        Facts facts;
        std::optional<QString> id;
    } rows[] = {
        {"no GTK entry", {"org.xfce.Thunar", {}, "thunar", "Thunar", "/bin/thunar", 7}, "thunar"},
        {"GTK id with its entry",
         {"org.gnome.Nautilus", {}, "org.gnome.Nautilus", "org.gnome.Nautilus", {}, {}},
         "org.gnome.Nautilus"},
        {"KDE file name", {{}, "org.kde.dolphin.desktop", "x", "y", {}, {}}, "org.kde.dolphin"},
        {"StartupWMClass", {{}, {}, "dolphin", "dolphin", {}, {}}, "org.kde.dolphin"},
        {"StartupWMClass of the class", {{}, {}, "xterm", "XTerm", {}, {}}, "debian-xterm"},
        {"lower-cased class", {{}, {}, "pcmanfm-qt", "PCManFM-Qt", {}, {}}, "pcmanfm-qt"},
        {"executable last", {{}, {}, "x", "X", "/usr/bin/konsole", {}}, "org.kde.konsole"},
        {"nothing known", {{}, {}, "unknown", "Unknown", "/usr/bin/unknown", {}}, std::nullopt},
        {"no facts", {}, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(X11FrontmostApplication::bundleIDForWindow(row.facts, lookup), row.id)
            << row.name;
}

TEST(AtspiAccessibilitySelection, OnlyFileURLsFromAttributes) {
    EXPECT_EQ(AtspiAccessibilitySelection::urlFromAttribute("file:///a/b%20c.txt"),
              QUrl::fromLocalFile("/a/b c.txt"));
    // A path is not a URL string.
    EXPECT_FALSE(AtspiAccessibilitySelection::urlFromAttribute("/a/b.txt"));
    EXPECT_FALSE(AtspiAccessibilitySelection::urlFromAttribute("https://a.org/b"));
    EXPECT_FALSE(AtspiAccessibilitySelection::urlFromAttribute("b.txt"));
}

TEST(SelectionCommand, RefusesWhatItDoesNotKnow) {
    for (const QStringList& arguments : {QStringList{"--after"},
                                         {"--after", "-1"},
                                         {"--after", "nan"},
                                         {"--after", "soon"},
                                         {"--verbose"}}) {
        QString error;
        EXPECT_FALSE(SelectionCommand::parse(arguments, error)) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SelectionCommand, WaitsThenPrintsBytesOrJson) {
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray latin1 = root + "/caf\xe9.bin";
    const QByteArray spaced = root + "/a b.txt";
    for (const QByteArray& path : {latin1, spaced}) {
        FILE* file = std::fopen(path.constData(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    FakeFrontmostApplication frontmost;
    frontmost.bundleID = QStringLiteral("thunar");
    frontmost.processID = 42;
    FakeFrontmostApplication nobody;
    FakeAccessibilitySelection accessibility;
    FakeFileManagerSelection fileManager;
    fileManager.selections.insert("Thunar", {LocalFileURL::fromNativePath(latin1),
                                             LocalFileURL::fromNativePath(spaced),
                                             LocalFileURL::fromNativePath(root + "/missing")});
    const auto resolver =
        FileSelectionResolver::make({frontmost, accessibility, fileManager}, false, false);
    const auto empty =
        FileSelectionResolver::make({nobody, accessibility, fileManager}, false, false);
    QList<int> slept;
    // What the command prints for `arguments`, after its exit status was checked.
    const auto printed = [&](const FrontmostApplication& app, const FileSelectionResolver& from,
                             const QStringList& arguments, int status) {
        QString error;
        const auto options = SelectionCommand::parse(arguments, error);
        EXPECT_TRUE(options) << qPrintable(error);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(SelectionCommand(out, app, from, [&](int ms) { slept.append(ms); })
                      .run(options.value_or(SelectionCommand::Options())),
                  status);
        return out.data();
    };
    EXPECT_EQ(printed(frontmost, resolver, {}, 0), latin1 + '\n' + spaced + '\n');
    EXPECT_TRUE(slept.isEmpty());
    // The JSON's URIs are read back by the end-to-end selection test.
    const QJsonObject object =
        QJsonDocument::fromJson(printed(frontmost, resolver, {"--after", "1.5", "--json"}, 0))
            .object();
    EXPECT_EQ(object.value("processID").toInteger(), 42);
    EXPECT_EQ(slept, QList<int>{1500});

    const QJsonObject none =
        QJsonDocument::fromJson(printed(nobody, empty, {"--json"}, 1)).object();
    EXPECT_TRUE(none.value("frontmostApplication").isNull());
    EXPECT_EQ(none.value("source").toString(), "none");
    std::filesystem::remove(std::string(latin1.constData()));
}

} // namespace
