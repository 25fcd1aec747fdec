#include "app/OpenArguments.h"
#include "app/ApplicationService.h"
#include "core/routing/LocalFileURL.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
TEST(OpenArguments, PathsResolveAgainstTheCurrentFolderByteForByte) {
    const QList<QUrl> urls = OpenArguments::toURLs(
        {"notes.md", "/abs/x.md", "sub/../y.md", "-n", "\xff\xfe.md", "a b\n'$(c)'.md", ""},
        "/home/ann/work");
    ASSERT_EQ(urls.size(), 6);
    const QList<QByteArray> expected{"/home/ann/work/notes.md",    "/abs/x.md",
                                     "/home/ann/work/sub/../y.md", "/home/ann/work/-n",
                                     "/home/ann/work/\xff\xfe.md", "/home/ann/work/a b\n'$(c)'.md"};
    for (qsizetype i = 0; i < urls.size(); ++i) {
        EXPECT_TRUE(urls[i].isLocalFile()) << i;
        EXPECT_EQ(LocalFileURL::nativePath(urls[i]), expected[i]) << i;
    }
}

TEST(OpenArguments, UrlsStayUrlsUnlessAFileHasThatName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("x-corvanta:odd.md")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray cwd = QFile::encodeName(dir.path());
    const QList<QUrl> urls =
        OpenArguments::toURLs({"x-corvanta://open?file=/tmp/a%20b.md&rule=R",
                               "https://example.org/a?b#c", "x-corvanta:odd.md", "1abc:def"},
                              cwd);
    ASSERT_EQ(urls.size(), 4);
    EXPECT_EQ(urls[0].toEncoded(), QByteArray("x-corvanta://open?file=/tmp/a%20b.md&rule=R"));
    EXPECT_EQ(urls[1].toEncoded(), QByteArray("https://example.org/a?b#c"));
    EXPECT_EQ(LocalFileURL::nativePath(urls[2]), cwd + "/x-corvanta:odd.md");
    // Not a scheme (starts with a digit): a relative path.
    EXPECT_EQ(LocalFileURL::nativePath(urls[3]), cwd + "/1abc:def");
}

TEST(ApplicationService, UrisFromTheBusKeepTheirBytes) {
    const QList<QUrl> urls = ApplicationService::urlsFromURIs(
        {QStringLiteral("file:///tmp/%FF%FE%20a%0A.md"), QStringLiteral("relative/path.md"),
         QStringLiteral("x-corvanta://open?file=/tmp/a.md"), QString()});
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(LocalFileURL::nativePath(urls[0]), QByteArray("/tmp/\xff\xfe a\n.md"));
    EXPECT_EQ(urls[1].scheme(), QStringLiteral("x-corvanta"));
}
} // namespace
