#include "core/routing/OpenRequestParser.h"
#include "core/routing/LocalFileURL.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct ParseCase {
    const char* link;
    std::optional<QList<QByteArray>> files; // none: the link does not parse
    std::optional<QString> rule = std::nullopt;
};

class ParseOpenRequest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseOpenRequest, ReadsFilesAndRule) {
    const ParseCase& c = GetParam();
    const std::optional<OpenRequest> request = parseOpenRequest(QUrl(QString::fromUtf8(c.link)));
    if (!c.files) {
        EXPECT_FALSE(request) << c.link;
        return;
    }
    ASSERT_TRUE(request) << c.link;
    EXPECT_EQ(request->files, *c.files) << c.link;
    EXPECT_EQ(request->rule, c.rule) << c.link;
}

INSTANTIATE_TEST_SUITE_P(
    Links, ParseOpenRequest,
    ::testing::Values(
        ParseCase{"x-corvanta://open?file=/tmp/a.md", QList<QByteArray>{"/tmp/a.md"}},
        ParseCase{"X-CORVANTA://OPEN?file=/tmp/a.md", QList<QByteArray>{"/tmp/a.md"}},
        ParseCase{"x-corvanta://open?FILE=/tmp/a.md", std::nullopt},
        ParseCase{"x-corvanta://show?file=/tmp/a.md", std::nullopt},
        ParseCase{"x-corvanta:open?file=/tmp/a.md", std::nullopt},
        ParseCase{"x-other://open?file=/tmp/a.md", std::nullopt},
        ParseCase{"x-corvanta://open", std::nullopt},
        ParseCase{"x-corvanta://open?file=&file=", std::nullopt},
        ParseCase{"x-corvanta://open?file", std::nullopt},
        ParseCase{"x-corvanta://open/ignored/path?file=/a.md&other=1", QList<QByteArray>{"/a.md"}},
        ParseCase{"x-corvanta://open?file=/tmp/a.md&file=/tmp/b.md",
                  QList<QByteArray>{"/tmp/a.md", "/tmp/b.md"}},
        ParseCase{"x-corvanta://open?file=/tmp/a.md&rule=&rule=R", QList<QByteArray>{"/tmp/a.md"},
                  QStringLiteral("R")},
        ParseCase{"x-corvanta://open?file=/tmp/a.md&rule=R&rule=", QList<QByteArray>{"/tmp/a.md"},
                  QStringLiteral("R")},
        ParseCase{"x-corvanta://open?rule=A&file=/a.md&rule=B", QList<QByteArray>{"/a.md"},
                  QStringLiteral("B")},
        ParseCase{"x-corvanta://open?file=/a.md&RULE=R", QList<QByteArray>{"/a.md"}},
        // "+" is a plus sign, spaces are %20, names may be escaped too.
        ParseCase{"x-corvanta://open?file=/tmp/a+b%20c.md", QList<QByteArray>{"/tmp/a+b c.md"}},
        ParseCase{"x-corvanta://open?fil%65=/tmp/a.md", QList<QByteArray>{"/tmp/a.md"}},
        ParseCase{"x-corvanta://open?file=/tmp/a%26b%3Dc.md&rule=My%20rule",
                  QList<QByteArray>{"/tmp/a&b=c.md"}, QStringLiteral("My rule")},
        // Bytes that are not UTF-8 survive exactly; a NUL is kept for the path check to refuse.
        ParseCase{"x-corvanta://open?file=/tmp/%FF%FE.md", QList<QByteArray>{"/tmp/\xff\xfe.md"}},
        ParseCase{"x-corvanta://open?file=/tmp/a.md%00.txt",
                  QList<QByteArray>{QByteArray("/tmp/a.md\0.txt", 14)}}));

TEST(UrlSchemeTemplate, EncodesTheRuleIdForAQuery) {
    EXPECT_EQ(urlSchemeTemplate(QStringLiteral("R")),
              QStringLiteral("x-corvanta://open?rule=R&file="));
    EXPECT_EQ(urlSchemeTemplate(QStringLiteral("1B4E28BA-2FA1-11D2-883F-0016D3CCA427")),
              QStringLiteral("x-corvanta://open?rule=1B4E28BA-2FA1-11D2-883F-0016D3CCA427&file="));
}

TEST(UrlSchemeTemplate, RoundTripsAnyRuleIdThroughTheParser) {
    for (const QString& id : {QStringLiteral("a&b=c"), QStringLiteral("x+y z"),
                              QStringLiteral("#frag?q;r,s"), QStringLiteral("Überschrift 100%")}) {
        const QString link = urlSchemeTemplate(id) + QStringLiteral("/tmp/a.md");
        const std::optional<OpenRequest> request = parseOpenRequest(QUrl(link));
        ASSERT_TRUE(request) << link.toStdString();
        EXPECT_EQ(request->rule, id) << link.toStdString();
        EXPECT_EQ(request->files, QList<QByteArray>{"/tmp/a.md"});
    }
}

TEST(ParseOpenRequestHostile, HugeQueriesFinishQuickly) {
    QString link = QStringLiteral("x-corvanta://open?");
    for (int i = 0; i < 200000; ++i)
        link += QStringLiteral("file=/f%1.md&rule=&").arg(i);
    link += QStringLiteral("rule=") + QString(100000, u'r');
    QElapsedTimer timer;
    timer.start();
    const std::optional<OpenRequest> request = parseOpenRequest(QUrl(link));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->files.size(), 200000);
    EXPECT_EQ(request->rule->size(), 100000);
    EXPECT_LT(timer.elapsed(), 20000);
}

class LinkPaths : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath(QStringLiteral("folder")));
        touch(QStringLiteral("a.md"));
    }
    void touch(const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QByteArray path(const QString& name) const { return QFile::encodeName(dir.filePath(name)); }
    QTemporaryDir dir;
};

TEST_F(LinkPaths, AcceptsExistingAbsoluteFilesOnly) {
    const QByteArray file = path(QStringLiteral("a.md"));
    const CheckedLinkPaths checked = checkLinkPaths(
        {file, "a.md", path(QStringLiteral("folder")), path(QStringLiteral("missing.md")),
         file + QByteArray("\0/../x", 6), path(QStringLiteral("folder/../a.md")), QByteArray()});
    EXPECT_EQ(checked.rejected, 5);
    ASSERT_EQ(checked.accepted.size(), 2);
    EXPECT_EQ(LocalFileURL::nativePath(checked.accepted[0]), file);
    // Kept as given: resolving ".." by hand could name another file behind a link.
    EXPECT_EQ(LocalFileURL::nativePath(checked.accepted[1]),
              path(QStringLiteral("folder/../a.md")));
}

TEST_F(LinkPaths, NamesThatAreNotUtf8ReachTheUrlByteForByte) {
    const QByteArray raw = QFile::encodeName(dir.path()) + QByteArray("/\xff odd $(x) `y` -n\n.md");
    {
        FILE* f = ::fopen(raw.constData(), "w");
        ASSERT_NE(f, nullptr);
        ::fclose(f);
    }
    const QUrl link(QStringLiteral("x-corvanta://open?file=") +
                    QString::fromLatin1(raw.toPercentEncoding("/")));
    const std::optional<OpenRequest> request = parseOpenRequest(link);
    ASSERT_TRUE(request);
    const CheckedLinkPaths checked = checkLinkPaths(request->files);
    ASSERT_EQ(checked.accepted.size(), 1);
    EXPECT_EQ(LocalFileURL::nativePath(checked.accepted.first()), raw);
}
} // namespace
