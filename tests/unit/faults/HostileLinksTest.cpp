// x-corvanta links as a hostile program could write them, delivered the way
// D-Bus and `corvanta open` deliver them (encoded URLs): each gets the answer
// the link rules give, and none crashes or hangs.
#include "core/model/LocalFileURL.h"
#include "tests/support/RoutingPipelineHarness.h"
#include "tests/support/StoreTestSupport.h"

namespace {
const QString& a = alpha;
const QString& b = beta;
const QString c = QStringLiteral("org.example.Gamma");

struct LinkCase {
    // The query of an open link; "@" stands for the temporary folder.
    QByteArray query;
    int beeps;
    // The editor launched once with these files, or none.
    QString editor;
    QList<QByteArray> files;
};

TEST(HostileLinks, EachGetsTheAnswerOfTheLinkRules) {
    // Rules that match no file here, so only a link forcing them uses them.
    Route md = markdown();
    md.editors.append(editor(c));
    md.rules = {makeRule(QStringLiteral("R1"), b), makeRule(QStringLiteral("R2"), c)};
    md.rules[1].name = QStringLiteral("Rule R2");
    PipelineHarness h({md});
    h.fake.workspace.install({c, "Gamma", {}, {}, {}, {}});

    const QByteArray folder = QFile::encodeName(h.dir.path());
    ASSERT_TRUE(QDir().mkpath(h.dir.filePath("sub/deeper")) &&
                QDir().mkpath(h.dir.filePath("f.md")));
    touchFiles(h.dir.path(), {"a.md", "b c.md"});
    // Where a relative name would find the files: only absolute paths may open.
    const QString workingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(h.dir.path()));
    const char* links[][2] = {{"a.md", "link.md"},
                              {"f.md", "flink.md"},
                              {"loop.md", "loop.md"},
                              {"gone.md", "dangling.md"}};
    for (const auto& [target, link] : links)
        ASSERT_EQ(::symlink(target, (folder + '/' + link).constData()), 0);

    QList<LinkCase> cases{
        {"file=a.md", 1, {}, {}},
        {"file=../a.md", 1, {}, {}},
        {"file=@/sub/deeper/../../a.md", 0, a, {"@/sub/deeper/../../a.md"}},
        {"file=@/sub/%2E%2E/a.md", 0, a, {"@/sub/../a.md"}},
        {"file=@/sub/..", 1, {}, {}},
        {"file=/..", 1, {}, {}},
        {"file=@/f.md", 1, {}, {}},
        {"file=@/flink.md", 1, {}, {}},
        {"file=@/link.md", 0, a, {"@/link.md"}},
        {"file=@/loop.md", 1, {}, {}},
        {"file=@/dangling.md", 1, {}, {}},
        {"file=@/none.md", 1, {}, {}},
        {"file=@/a.md%00", 1, {}, {}},
        {"file=@/a.md&rule=R1%00", 1, {}, {}},
        {"file=@/" + QByteArray(5000, 'n') + ".md", 1, {}, {}},
        {"file=@/b%20c.md&file=@/b%20c.md", 0, a, {"@/b c.md", "@/b c.md"}},
        {"file=@/a.md&file=a.md&file=@/f.md&file=@/none.md", 1, a, {"@/a.md"}},
        {"file=@/a.md&rule=R1&rule=R2", 0, c, {"@/a.md"}},
        {"rule=R1&file=@/a.md&rule=", 0, b, {"@/a.md"}},
        {"file=@/a.md&rule=Rule%20R2", 0, c, {"@/a.md"}},
        {"file=@/a.md&rule=R7", 1, {}, {}},
        {"file=@/a.md%G1", 1, {}, {}},
    };
    // Thousands of ignored items and empty rules, a megabyte value, then a rule
    // that names nothing: each file gets its beep.
    QByteArray huge;
    for (int i = 0; i < 50000; ++i)
        huge += "x" + QByteArray::number(i) + "=1&rule=&";
    huge += "v=" + QByteArray(1 << 20, 'v') + "&file=@/a.md&rule=" + QByteArray(100000, 'r');
    cases.append({huge + "&file=@/a.md", 2, {}, {}});
    // All files of one link open in one call.
    cases.append(
        {QByteArray("file=@/a.md&").repeated(5000), 0, a, QList<QByteArray>(5000, "@/a.md")});

    for (const LinkCase& row : cases) {
        SCOPED_TRACE(row.query.left(80).toStdString());
        const int beeps = h.fake.alerts.beeps;
        const qsizetype calls = h.fake.workspace.openCalls().size();
        QByteArray link = "x-corvanta://open?" + row.query;
        h.pipeline->open({QUrl::fromEncoded(link.replace("@", folder.toPercentEncoding("/")))});
        EXPECT_EQ(h.fake.alerts.beeps - beeps, row.beeps);
        const QList<FakeWorkspace::OpenCall> launched = h.fake.workspace.openCalls().mid(calls);
        ASSERT_EQ(launched.size(), row.editor.isEmpty() ? 0 : 1);
        if (launched.isEmpty())
            continue;
        EXPECT_EQ(h.fake.workspace.bundleIDForLocation(launched[0].location).value_or(""),
                  row.editor);
        QList<QByteArray> files;
        for (const QUrl& url : launched[0].urls)
            files.append(LocalFileURL::nativePath(url).replace(folder, "@"));
        EXPECT_EQ(files, row.files);
    }
    EXPECT_TRUE(h.fake.alerts.shown.isEmpty());
    EXPECT_EQ(h.seams.events, QStringList()) << "nothing taught";
    QDir::setCurrent(workingFolder);
}
} // namespace
