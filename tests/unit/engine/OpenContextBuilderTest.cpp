#include "core/engine/OpenContextBuilder.h"
#include "tests/support/FakeServices.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;

namespace {

class OpenContextBuilderTest : public ::testing::Test {
protected:
    FakeRunningApplications running;
    FakeFileMetadata metadata;
    OpenContextBuilder builder{running, metadata};
    Route route = markdownRoute();

    OpenContext make(const QString& path,
                     const std::optional<QSet<QString>>& hotkeys = std::nullopt) {
        return builder.makeOpenContext(QUrl::fromLocalFile(path), route, hotkeys);
    }
};

TEST_F(OpenContextBuilderTest, namesAndFolders) {
    const struct {
        const char* path;
        const char* fileName;
        const char* extension;
        const char* parent;
    } rows[] = {
        {"/home/u/Notes.final.md", "Notes.final", "md", "/home/u"},
        {"/home/u/README", "README", "", "/home/u"},
        {"/home/u/Shout.MD", "Shout", "md", "/home/u"},
        {"/home/u/./x/../with space.txt", "with space", "txt", "/home/u"},
        {"/top.md", "top", "md", "/"},
        {"/home/u/archive.tar.gz", "archive.tar", "gz", "/home/u"},
        {"/home/u/.profile", ".profile", "", "/home/u"},
        {"/home/u/trailing.", "trailing.", "", "/home/u"},
        {"/home/u/Ünïcode.Mä", "Ünïcode", "mä", "/home/u"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const OpenContext c = make(QString::fromUtf8(row.path));
        EXPECT_EQ(c.url, QUrl::fromLocalFile(QString::fromUtf8(row.path)));
        EXPECT_EQ(c.fileName, QString::fromUtf8(row.fileName));
        EXPECT_EQ(c.fileExtension, QString::fromUtf8(row.extension));
        EXPECT_EQ(c.parentPath, QString::fromUtf8(row.parent));
    }
}

TEST_F(OpenContextBuilderTest, runningEnabledEditorsAreTheIntersection) {
    running.running = {"code", "vim", "org.mozilla.firefox"};
    EXPECT_EQ(make("/w/a.md").runningEnabledBundleIDs, QSet<QString>({"code"}));
    running.running = {};
    EXPECT_TRUE(make("/w/a.md").runningEnabledBundleIDs.isEmpty());
    running.running = {"io.typora.Typora", "dev.zed.Zed", "code"};
    EXPECT_EQ(make("/w/a.md").runningEnabledBundleIDs.size(), 3);
}

TEST_F(OpenContextBuilderTest, creatorAndHotkeys) {
    metadata.creators.insert("/w/made.md", "Ulysses");
    metadata.creators.insert("/w/blank.md", "");
    const OpenContext made = make("/w/made.md", QSet<QString>{"rule-1"});
    EXPECT_EQ(made.creatorName, QStringLiteral("Ulysses"));
    EXPECT_FALSE(made.creatorBundleID.has_value());
    EXPECT_EQ(made.activeHotkeyNames, QSet<QString>({"rule-1"}));

    const OpenContext blank = make("/w/blank.md");
    EXPECT_FALSE(blank.creatorName.has_value());
    EXPECT_FALSE(blank.activeHotkeyNames.has_value());
    EXPECT_FALSE(make("/w/unknown.md").creatorName.has_value());
}

} // namespace
