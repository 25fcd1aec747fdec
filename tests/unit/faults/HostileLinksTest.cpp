// x-corvanta links as a hostile program could write them, delivered the way
// D-Bus and `corvanta open` deliver them (encoded URLs): each gets the answer
// the link rules give, and none crashes or hangs.
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/LocalFileURL.h"
#include "core/routing/RoutingPipeline.h"
#include "tests/support/FakePickerPorts.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {
const QString alpha = QStringLiteral("org.example.Alpha");
const QString beta = QStringLiteral("org.example.Beta");
const QString gamma = QStringLiteral("org.example.Gamma");

Rule neverMatching(const QString& id, const QString& bundleID) {
    Rule rule;
    rule.id = id;
    rule.name = QStringLiteral("Rule ") + id;
    rule.when.id = id + QStringLiteral("-when");
    Predicate predicate;
    predicate.id = id + QStringLiteral("-p");
    predicate.kind = PredicateKind::fileName;
    predicate.stringOperator = StringMatchOperator::contains;
    predicate.stringValue = QStringLiteral("no file is called this");
    rule.when.predicates = {predicate};
    rule.action.kind = RuleActionKind::specificEditor;
    rule.action.bundleIDs = QStringList{bundleID};
    return rule;
}

// What one launch received: the editor and the files' native paths.
struct Launch {
    QString bundleID;
    QList<QByteArray> paths;
    bool operator==(const Launch&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Launch& launch) {
    out << launch.bundleID.toStdString() << " [";
    for (const QByteArray& path : launch.paths)
        out << " " << path.toPercentEncoding("/").constData();
    return out << " ]";
}

class HostileLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Route markdown;
        markdown.id = QStringLiteral("markdown");
        markdown.name = QStringLiteral("Markdown");
        markdown.extensions = {QStringLiteral("md")};
        for (const QString& id : {alpha, beta, gamma}) {
            Editor editor;
            editor.bundleID = id;
            editor.name = id.section(u'.', -1);
            editor.manual = true;
            markdown.editors.append(editor);
        }
        markdown.activeBundleID = alpha;
        markdown.rules = {neverMatching(QStringLiteral("R1"), beta),
                          neverMatching(QStringLiteral("R2"), gamma)};
        markdown.normalizeUtilities();
        RouteStore::State state;
        state.routes = {markdown};
        QFile routes(dir.filePath(QStringLiteral("routes.json")));
        ASSERT_TRUE(routes.open(QIODevice::WriteOnly));
        routes.write(RoutesFileCodec::encode(state));
        routes.close();
        restart();

        folder = QFile::encodeName(dir.path());
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("sub/deeper"))));
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("folder.md"))));
        for (const char* name : {"a.md", "b c.md", "sub/n.md"}) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_EQ(::symlink("a.md", (folder + "/link.md").constData()), 0);
        ASSERT_EQ(::symlink("folder.md", (folder + "/folderlink.md").constData()), 0);
        ASSERT_EQ(::symlink("loop.md", (folder + "/loop.md").constData()), 0);
        ASSERT_EQ(::symlink("gone.md", (folder + "/dangling.md").constData()), 0);
    }

    // A fresh platform, store and pipeline over the same files.
    void restart() {
        pipeline.reset();
        utilities.reset();
        store.reset();
        fake = std::make_unique<FakePlatform>();
        for (const QString& id : {alpha, beta, gamma})
            fake->workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        store = std::make_unique<RouteStore>(fake->types, fake->workspace,
                                             dir.filePath(QStringLiteral("routes.json")));
        ASSERT_FALSE(store->loadFailed());
        utilities = std::make_unique<UtilityPerformer>(fake->workspace, terminals, clipboard,
                                                       revealer, fake->alerts);
        RoutingPipeline::Hooks hooks;
        hooks.teachType = [this](const QUrl& url) { taught.append(url); };
        hooks.showMissingExtensionAlert = [] {};
        pipeline =
            std::make_unique<RoutingPipeline>(fake->platform(), *store, pickers, *utilities, hooks);
    }

    // The temporary folder's path as it stands in a link.
    QByteArray encodedFolder() const { return folder.toPercentEncoding("/"); }

    QList<Launch> launches() const {
        QList<Launch> result;
        for (const FakeWorkspace::OpenCall& call : fake->workspace.openCalls()) {
            Launch launch{fake->workspace.bundleIDForLocation(call.location).value_or(QString()),
                          {}};
            for (const QUrl& url : call.urls)
                launch.paths.append(LocalFileURL::nativePath(url));
            result.append(launch);
        }
        return result;
    }

    QTemporaryDir dir;
    QByteArray folder;
    std::unique_ptr<FakePlatform> fake;
    FakePickerPresenter pickers;
    FakeClipboard clipboard;
    FakeFileRevealer revealer;
    FakeTerminalLauncher terminals;
    std::unique_ptr<UtilityPerformer> utilities;
    std::unique_ptr<RouteStore> store;
    std::unique_ptr<RoutingPipeline> pipeline;
    QList<QUrl> taught;
};

struct LinkCase {
    const char* name;
    // "@" stands for the temporary folder, percent-encoded.
    QByteArray link;
    int beeps;
    // The editor and the files (relative to the folder, "@" again) it receives.
    QList<Launch> launches;
};

TEST_F(HostileLinks, EachLinkGetsTheAnswerOfTheLinkRules) {
    const QString a = alpha, b = beta, c = gamma;
    const QList<LinkCase> cases{
        {"relative path", "x-corvanta://open?file=a.md", 1, {}},
        {"relative path climbing", "x-corvanta://open?file=../a.md", 1, {}},
        {"dot segments are kept as given",
         "x-corvanta://open?file=@/sub/deeper/../../a.md",
         0,
         {{a, {"@/sub/deeper/../../a.md"}}}},
        {"double slashes", "x-corvanta://open?file=@//sub///n.md", 0, {{a, {"@//sub///n.md"}}}},
        {"encoded dot segments",
         "x-corvanta://open?file=@/sub/%2E%2E/a.md",
         0,
         {{a, {"@/sub/../a.md"}}}},
        {"climbing to a folder", "x-corvanta://open?file=@/sub/..", 1, {}},
        {"the root", "x-corvanta://open?file=/", 1, {}},
        {"parent of the root", "x-corvanta://open?file=/..", 1, {}},
        {"folder", "x-corvanta://open?file=@/folder.md", 1, {}},
        {"link to a folder", "x-corvanta://open?file=@/folderlink.md", 1, {}},
        {"link to a file", "x-corvanta://open?file=@/link.md", 0, {{a, {"@/link.md"}}}},
        {"link loop", "x-corvanta://open?file=@/loop.md", 1, {}},
        {"dangling link", "x-corvanta://open?file=@/dangling.md", 1, {}},
        {"missing file", "x-corvanta://open?file=@/none.md", 1, {}},
        {"encoded NUL", "x-corvanta://open?file=@/a.md%00.txt", 1, {}},
        {"encoded NUL at the end", "x-corvanta://open?file=@/a.md%00", 1, {}},
        {"encoded NUL only", "x-corvanta://open?file=%00", 1, {}},
        {"NUL in the rule", "x-corvanta://open?file=@/a.md&rule=R1%00", 1, {}},
        {"overlong name", "x-corvanta://open?file=@/" + QByteArray(5000, 'n') + ".md", 1, {}},
        {"encoded slash and space",
         "x-corvanta://open?file=%2F@/b%20c.md",
         0,
         {{a, {"/@/b c.md"}}}},
        {"file repeated",
         "x-corvanta://open?file=@/a.md&file=@/a.md",
         0,
         {{a, {"@/a.md", "@/a.md"}}}},
        {"good, relative and folder together",
         "x-corvanta://open?file=@/a.md&file=a.md&file=@/folder.md&file=@/none.md",
         1,
         {{a, {"@/a.md"}}}},
        {"rule repeated, last wins",
         "x-corvanta://open?file=@/a.md&rule=R1&rule=R2",
         0,
         {{c, {"@/a.md"}}}},
        {"empty rule after a rule",
         "x-corvanta://open?rule=R1&file=@/a.md&rule=",
         0,
         {{b, {"@/a.md"}}}},
        {"only empty rules", "x-corvanta://open?file=@/a.md&rule=&rule=", 0, {{a, {"@/a.md"}}}},
        {"rule by its name", "x-corvanta://open?file=@/a.md&rule=Rule%20R2", 0, {{c, {"@/a.md"}}}},
        {"unknown rule", "x-corvanta://open?file=@/a.md&rule=R7", 1, {}},
        {"plus is a plus", "x-corvanta://open?file=@/b+c.md", 1, {}},
        {"space as %20", "x-corvanta://open?file=@/b%20c.md", 0, {{a, {"@/b c.md"}}}},
        {"names differ in case", "x-corvanta://open?File=@/a.md&FILE=@/a.md", 1, {}},
        {"fragment after the query",
         "x-corvanta://open?file=@/a.md#file=@/b%20c.md",
         0,
         {{a, {"@/a.md"}}}},
        {"query only in the fragment", "x-corvanta://open#?file=@/a.md", 1, {}},
        {"path and port are ignored",
         "x-corvanta://open:7/some/path?file=@/a.md",
         0,
         {{a, {"@/a.md"}}}},
        {"other host", "x-corvanta://0pen?file=@/a.md", 1, {}},
        {"no host", "x-corvanta:?file=@/a.md", 1, {}},
        {"broken escape", "x-corvanta://open?file=@/a.md%G1", 1, {}},
        {"folder without extension", "x-corvanta://open?file=@/sub", 1, {}},
    };
    const QByteArray encoded = encodedFolder();
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        QByteArray link = c.link;
        link.replace("@", encoded);
        pipeline->open({QUrl::fromEncoded(link)});
        QList<Launch> expected = c.launches;
        for (Launch& launch : expected) {
            for (QByteArray& path : launch.paths)
                path.replace("@", folder);
        }
        EXPECT_EQ(fake->alerts.beeps, c.beeps);
        EXPECT_EQ(launches(), expected);
        EXPECT_TRUE(fake->alerts.shown.isEmpty());
        EXPECT_TRUE(taught.isEmpty());
    }
}

TEST_F(HostileLinks, HugeQueriesAreAnsweredInFull) {
    const QByteArray file = "file=" + encodedFolder() + "/a.md";
    QByteArray link = "x-corvanta://open?";
    // Many items that are ignored, many empty rules, a value of a megabyte.
    for (int i = 0; i < 50000; ++i)
        link += "x" + QByteArray::number(i) + "=1&rule=&";
    link += "ignored=" + QByteArray(1 << 20, 'v') + "&" + file +
            "&rule=" + QByteArray(100000, 'r') + "&" + file;
    pipeline->open({QUrl::fromEncoded(link)});
    // The rule names nothing in the route: each file gets its beep and is skipped.
    EXPECT_EQ(fake->alerts.beeps, 2);
    EXPECT_TRUE(launches().isEmpty());

    QByteArray many = "x-corvanta://open?";
    for (int i = 0; i < 5000; ++i)
        many += file + "&";
    pipeline->open({QUrl::fromEncoded(many)});
    ASSERT_EQ(launches().size(), 1) << "all files of one link open in one call";
    EXPECT_EQ(launches()[0].paths.size(), 5000);
}
} // namespace
