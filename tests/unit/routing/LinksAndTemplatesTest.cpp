#include "core/model/LocalFileURL.h"
#include "core/routing/OpenRequestParser.h"
#include "core/routing/URLTemplateExpander.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
// Several files and rules in one link: see the hostile links.
TEST(ParseOpenRequest, ReadsTheFileAndTheRule) {
    struct Row {
        const char* link;
        const char* file; // percent escapes for raw bytes; none: refused
        const char* rule = nullptr;
    };
    const Row rows[] = {
        {"x-corvanta://open?file=/tmp/a.md", "/tmp/a.md"},
        {"X-CORVANTA://OPEN?file=/tmp/a.md", "/tmp/a.md"},
        {"x-corvanta://open?FILE=/tmp/a.md", nullptr},
        {"x-other://open?file=/tmp/a.md", nullptr},
        {"x-corvanta://open", nullptr},
        {"x-corvanta://open?file=&file=", nullptr},
        {"x-corvanta://open/ignored/path?file=/a.md&other=1", "/a.md"},
        {"x-corvanta://open?file=/tmp/a+b%20c.md", "/tmp/a+b c.md"},
        {"x-corvanta://open?fil%65=/tmp/a.md", "/tmp/a.md"},
        {"x-corvanta://open?file=/a%26b%3Dc.md&rule=My%20rule", "/a&b=c.md", "My rule"},
        // Bytes that are not UTF-8 survive. (A NUL: the hostile links.)
        {"x-corvanta://open?file=/tmp/%FF%FE.md", "/tmp/%FF%FE.md"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.link);
        const std::optional<OpenRequest> request = parseOpenRequest(QUrl(row.link));
        ASSERT_EQ(request.has_value(), row.file != nullptr);
        if (!request)
            continue;
        EXPECT_EQ(request->files, QList{QByteArray::fromPercentEncoding(row.file)});
        EXPECT_EQ(request->rule, row.rule ? std::optional(QString(row.rule)) : std::nullopt);
    }
}

TEST(UrlSchemeTemplate, RoundTripsAnyRuleIdThroughTheParser) {
    EXPECT_EQ(urlSchemeTemplate("R"), QStringLiteral("x-corvanta://open?rule=R&file="));
    for (const QString id : {"a&b=c", "x+y z", "#frag?q;r,s", "Überschrift 100%"}) {
        const auto request = parseOpenRequest(QUrl(urlSchemeTemplate(id) + "/tmp/a.md"));
        ASSERT_TRUE(request) << id.toStdString();
        EXPECT_EQ(request->rule, id);
        EXPECT_EQ(request->files, QList<QByteArray>{"/tmp/a.md"});
    }
}

TEST(ExpandURLTemplate, ReplacesEachPlaceholderOnce) {
    struct Row {
        const char* urlTemplate;
        QByteArray path;
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"{filepath}|{folderpath}|{filename}|{filepath~}|{folderpath~}", "/home/ann/N/a.md",
         "/home/ann", "/home/ann/N/a.md|/home/ann/N|a.md|~/N/a.md|~/N"},
        {"{filepath.urlencoded}|{folderpath.urlencoded}|{filepath~.urlencoded}",
         "/home/ann/My N/a b.md", "/home/ann",
         "/home/ann/My%20N/a%20b.md|/home/ann/My%20N|~/My%20N/a%20b.md"},
        {"{folderpath}", "/a.md", "/home/ann", "/"},
        {"{filename.urlencoded}", "/t/a&b=c+d?.md", "", "a%26b%3Dc%2Bd%3F.md"},
        // Encoded values carry the name's bytes even when they are not UTF-8 (and hostile
        // names in every encoded placeholder: HostileNamesTest).
        {"{filepath~.urlencoded}", "/h/\xc3\xa9/-rf.md", "/h/\xc3\xa9", "~/-rf.md"},
        // Replaced values are not scanned again; unknown placeholders stay.
        {"{filename}", "/t/{filename}.md", "", "{filename}.md"},
        {"x://{path}/{/{{filename}}", "/t/a.md", "", "x://{path}/{/{a.md}"},
        {"{FILENAME}{filename", "/t/a.md", "", "{FILENAME}{filename"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(expandURLTemplate(QString::fromUtf8(row.urlTemplate),
                                    LocalFileURL::fromNativePath(row.path),
                                    QString::fromUtf8(row.home)),
                  QString::fromUtf8(row.expected))
            << row.urlTemplate << " / " << row.path.toStdString();
    }
}

TEST(AbbreviatingHome, FollowsComponentBoundaries) {
    const char* rows[][3] = {{"/home/ann", "/home/ann", "~"},
                             {"/home/ann/x", "/home/ann", "~/x"},
                             {"/home/annex/x", "/home/ann", "/home/annex/x"},
                             {"/home/ann/x", "", "/home/ann/x"},
                             {"/home/ann/", "/home/ann/", "~"},
                             {"/home/ann/x", "/home/ann/", "~/x"}};
    for (const auto& row : rows)
        EXPECT_EQ(abbreviatingHome(row[0], row[1]), QString(row[2])) << row[0] << " " << row[1];
}

TEST(PercentEncodedQueryValue, KeepsExactlyTheQueryValueSet) {
    QString all;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        all.append(QChar(c));
    const QString encoded = percentEncodedQueryValue(all);
    const QString kept = QString(encoded).remove(QRegularExpression("%[0-9A-F]{2}"));
    EXPECT_EQ(kept, QStringLiteral("!$'()*-./0123456789:@ABCDEFGHIJKLMNOPQRSTUVWXYZ_"
                                   "abcdefghijklmnopqrstuvwxyz~"));
    EXPECT_EQ(QUrl::fromPercentEncoding(encoded.toLatin1()), all);
}

TEST(IsStrictURL, RejectsWhatAUrlCannotHold) {
    for (const char* url : {"x-n://open?n=a%20b", "https://example.org/a?b=c#d", "mailto:a@b.org"})
        EXPECT_TRUE(isStrictURL(url)) << url;
    for (const char* text : {"x-n://o?n=a b", "x-n://o?n={filename}", "x-n://o?n=100%",
                             "x-n://o?n=%zz", "x-n://o?n=é", "/tmp/a.md", "1x://a", "://a", ""})
        EXPECT_FALSE(isStrictURL(QString::fromUtf8(text))) << text;
}
} // namespace
