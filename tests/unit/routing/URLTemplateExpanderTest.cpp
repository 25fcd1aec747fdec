#include "core/routing/URLTemplateExpander.h"
#include "core/routing/LocalFileURL.h"

#include <gtest/gtest.h>

namespace {
QUrl fileURL(const QByteArray& path) {
    return LocalFileURL::fromNativePath(path);
}

struct ExpandCase {
    const char* urlTemplate;
    QByteArray path;
    const char* home;
    const char* expected;
};

class ExpandURLTemplate : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandURLTemplate, ReplacesPlaceholders) {
    const ExpandCase& c = GetParam();
    EXPECT_EQ(expandURLTemplate(QString::fromUtf8(c.urlTemplate), fileURL(c.path),
                                QString::fromUtf8(c.home)),
              QString::fromUtf8(c.expected))
        << c.urlTemplate << " / " << c.path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Templates, ExpandURLTemplate,
    ::testing::Values(
        ExpandCase{
            "x-quillnest://open?notebook={folderpath~.urlencoded}&note={filename.urlencoded}",
            "/Users/ann/Notes/My file.md", "/Users/ann",
            "x-quillnest://open?notebook=~/Notes&note=My%20file.md"},
        ExpandCase{"{filepath}|{folderpath}|{filename}|{filepath~}|{folderpath~}",
                   "/home/ann/Notes/a.md", "/home/ann",
                   "/home/ann/Notes/a.md|/home/ann/Notes|a.md|~/Notes/a.md|~/Notes"},
        ExpandCase{"{filepath.urlencoded}|{folderpath.urlencoded}|{filepath~.urlencoded}",
                   "/home/ann/My Notes/a b.md", "/home/ann",
                   "/home/ann/My%20Notes/a%20b.md|/home/ann/My%20Notes|~/My%20Notes/a%20b.md"},
        ExpandCase{"{folderpath~}", "/home/ann/a.md", "/home/ann", "~"},
        ExpandCase{"{folderpath~}", "/tmp/a.md", "/home/ann", "/tmp"},
        ExpandCase{"{folderpath}", "/a.md", "/home/ann", "/"},
        ExpandCase{"{filepath~}", "/home/anna/x.md", "/home/ann", "/home/anna/x.md"},
        ExpandCase{"{filepath~}", "/home/ann/x.md", "/home/ann/", "~/x.md"},
        ExpandCase{"{filepath~}", "/home/ann/x.md", "", "/home/ann/x.md"},
        // The exact set kept by query-value encoding.
        ExpandCase{"{filename.urlencoded}", "/t/a&b=c.md", "", "a%26b%3Dc.md"},
        ExpandCase{"{filename.urlencoded}", "/t/@-._~!$'()*:+?;,#%[]{}\"<>\\^`| \t.md", "",
                   "@-._~!$'()*:%2B%3F%3B%2C%23%25%5B%5D%7B%7D%22%3C%3E%5C%5E%60%7C%20%09.md"},
        ExpandCase{"{filepath.urlencoded}", "/t/é/ü.md", "", "/t/%C3%A9/%C3%BC.md"},
        ExpandCase{"{filename.urlencoded}", "/t/a\nb\x01.md", "", "a%0Ab%01.md"},
        // Encoded values carry the name's bytes even when they are not UTF-8.
        ExpandCase{"{filename.urlencoded}", "/t/\xff\xfe.md", "", "%FF%FE.md"},
        ExpandCase{"{filepath~.urlencoded}", "/h/\xc3\xa9/-rf.md", "/h/\xc3\xa9", "~/-rf.md"},
        // Replaced values are not scanned again; unknown placeholders stay.
        ExpandCase{"{filename}", "/t/{filename}.md", "", "{filename}.md"},
        ExpandCase{"{filename.urlencoded}", "/t/{filepath}.md", "", "%7Bfilepath%7D.md"},
        ExpandCase{"x://{path}/{/{{filename}}", "/t/a.md", "", "x://{path}/{/{a.md}"},
        ExpandCase{"{FILENAME}{filename", "/t/a.md", "", "{FILENAME}{filename"},
        ExpandCase{"", "/t/a.md", "", ""}));

TEST(AbbreviatingHome, FollowsComponentBoundaries) {
    EXPECT_EQ(abbreviatingHome(QStringLiteral("/home/ann"), QStringLiteral("/home/ann")),
              QStringLiteral("~"));
    EXPECT_EQ(abbreviatingHome(QStringLiteral("/home/ann/x"), QStringLiteral("/home/ann")),
              QStringLiteral("~/x"));
    EXPECT_EQ(abbreviatingHome(QStringLiteral("/home/annex/x"), QStringLiteral("/home/ann")),
              QStringLiteral("/home/annex/x"));
    EXPECT_EQ(abbreviatingHome(QStringLiteral("/home/ann/x"), QString()),
              QStringLiteral("/home/ann/x"));
    EXPECT_EQ(abbreviatingHome(QStringLiteral("/home/ann/"), QStringLiteral("/home/ann/")),
              QStringLiteral("~"));
}

TEST(PercentEncodedQueryValue, KeepsOnlyTheQueryValueSet) {
    QString all;
    for (int c = 0x20; c < 0x7f; ++c)
        all.append(QChar(c));
    const QString encoded = percentEncodedQueryValue(all);
    QString kept;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) == u'%')
            i += 2;
        else
            kept.append(encoded.at(i));
    }
    EXPECT_EQ(kept, QStringLiteral("!$'()*-./0123456789:@ABCDEFGHIJKLMNOPQRSTUVWXYZ_"
                                   "abcdefghijklmnopqrstuvwxyz~"));
    EXPECT_EQ(QUrl::fromPercentEncoding(encoded.toLatin1()), all);
}

TEST(IsStrictURL, RejectsWhatAUrlCannotHold) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"x-notes://open?note=a%20b", true},
        {"https://example.org/a?b=c#d", true},
        {"mailto:ann@example.org", true},
        {"x-notes://open?note=a b", false},
        {"x-notes://open?note=a\tb", false},
        {"x-notes://open?note={filename}", false},
        {"x-notes://open?note=100%", false},
        {"x-notes://open?note=%zz", false},
        {"x-notes://open?note=é", false},
        {"/tmp/a.md", false},
        {"notes", false},
        {"1x://a", false},
        {"://a", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isStrictURL(QString::fromUtf8(c.text)), c.valid) << c.text;
}
} // namespace
