#include "core/model/RoutesFileCodec.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/xattr.h>

namespace {
struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result runCorvanta(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(CORVANTA_PATH), arguments);
    process.closeWriteChannel();
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString routesFile() {
    return LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta/routes.json");
}

void writeRoutes(const QByteArray& data) {
    QDir().mkpath(QFileInfo(routesFile()).absolutePath());
    QFile file(routesFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

Editor editor(const char* id, const char* name, bool enabled) {
    Editor e;
    e.bundleID = QString::fromUtf8(id);
    e.name = QString::fromUtf8(name);
    e.enabled = enabled;
    return e;
}

Predicate predicate(PredicateKind kind) {
    Predicate p;
    p.id = makeRuleIdentifier();
    p.kind = kind;
    return p;
}

Rule rule(const char* id, const Predicate& condition, RuleActionKind kind,
          const QStringList& bundleIDs = {}) {
    Rule r;
    r.id = QString::fromUtf8(id);
    r.when.id = makeRuleIdentifier();
    r.when.predicates = {condition};
    r.action.kind = kind;
    if (!bundleIDs.isEmpty())
        r.action.bundleIDs = bundleIDs;
    return r;
}

// A Markdown route with one rule of every condition kind and action kind, and a
// custom route without editors.
RouteStoreState routesWithEveryKindOfRule(const QString& archive) {
    const QString editorID = QStringLiteral("test.MarkdownEditor");
    const QString notesID = QStringLiteral("kde-notes");
    Route markdown;
    markdown.id = QStringLiteral("markdown");
    markdown.name = QStringLiteral("Markdown");
    markdown.extensions = {QStringLiteral("md"), QStringLiteral("markdown")};
    markdown.probeIdentifiers = {QStringLiteral("net.daringfireball.markdown")};
    markdown.editors = {editor("test.MarkdownEditor", "Markdown Editor", true),
                        editor("kde-notes", "KDE Notes", true),
                        editor("test.TextViewer", "Text Viewer", false),
                        editor("test.BusApp", "Bus App", false)};
    markdown.activeBundleID = editorID;
    markdown.defaultPreferenceOrder = {notesID, editorID};

    Predicate many = predicate(PredicateKind::runningEditors);
    many.comparisonOperator = ComparisonOperator::greaterThan;
    many.countValue = 5;
    Predicate anyMarkdown = predicate(PredicateKind::fileExtension);
    anyMarkdown.stringValue = QStringLiteral(".MD");
    Rule disabled = rule("R0", anyMarkdown, RuleActionKind::specificEditor, {notesID});
    disabled.enabled = false;
    Predicate draft = predicate(PredicateKind::fileName);
    draft.stringValue = QStringLiteral("DRAFT");
    Rule drafts = rule("R1", draft, RuleActionKind::specificEditor, {notesID, editorID});
    drafts.name = QStringLiteral("Drafts");
    Predicate longForm = predicate(PredicateKind::fileExtension);
    longForm.stringValue = QStringLiteral("markdown");
    Predicate inArchive = predicate(PredicateKind::parentFolder);
    inArchive.folderPath = archive + QLatin1Char('/');
    Rule archived = rule("R3", inArchive, RuleActionKind::bestRunningEditor);
    archived.action.preferenceOrder = QStringList{QStringLiteral("test.TextViewer"), notesID};
    Predicate typora = predicate(PredicateKind::creatorApp);
    typora.stringValue = QStringLiteral("typora");
    Predicate hotkey = predicate(PredicateKind::hotkey);
    hotkey.hotkeyName = QStringLiteral("rule-R5");

    markdown.rules = {rule("Rmany", many, RuleActionKind::specificEditor, {notesID}),
                      disabled,
                      drafts,
                      rule("R2", longForm, RuleActionKind::selectFromAllEditors),
                      archived,
                      rule("R4", typora, RuleActionKind::specificEditor, {notesID}),
                      rule("R5", hotkey, RuleActionKind::selectFromRunningEditors)};
    markdown.normalizeUtilities();

    Route empty;
    empty.id = QStringLiteral("custom.zzq");
    empty.name = QStringLiteral("ZZQ");
    empty.extensions = {QStringLiteral("zzq")};
    empty.isCustom = true;
    empty.normalizeUtilities();

    RouteStoreState state;
    state.routes = {markdown, empty};
    return state;
}

QString makeFile(const QString& relative) {
    const QString path = LinuxSandbox::current().filesFolder() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

QJsonObject explainOne(const QStringList& options, const QString& path) {
    const Result result =
        runCorvanta(QStringList{QStringLiteral("explain"), QStringLiteral("--json")} + options +
                    QStringList{path});
    EXPECT_EQ(result.status, 0) << result.err.constData();
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 1) << result.out.constData();
    return QJsonDocument::fromJson(lines.first()).object();
}

QStringList strings(const QJsonValue& array) {
    QStringList list;
    for (const QJsonValue& value : array.toArray())
        list.append(value.toString());
    return list;
}

bool supportsUserAttributes(const QString& path) {
    return ::setxattr(QFile::encodeName(path).constData(), "user.xdg.creator", "Typora", 6, 0) == 0;
}

TEST(ExplainCommand, GivesTheDecisionOfEveryKindOfRule) {
    const QString archive = LinuxSandbox::current().filesFolder() + QStringLiteral("/archive");
    writeRoutes(RoutesFileCodec::encode(routesWithEveryKindOfRule(archive)));
    const QString plain = makeFile(QStringLiteral("plain.md"));
    const QString draft = makeFile(QStringLiteral("draft.md"));
    const QString longForm = makeFile(QStringLiteral("notes.markdown"));
    const QString archived = makeFile(QStringLiteral("archive/2020/old.md"));
    const QString creator = makeFile(QStringLiteral("creator.md"));
    const QString custom = makeFile(QStringLiteral("thing.zzq"));
    const QString unknown = makeFile(QStringLiteral("thing.unknownext"));

    struct Case {
        QString path;
        QStringList options;
        const char* decision;
        QJsonValue rule;
        QStringList editors;
    };
    const QStringList both = {QStringLiteral("kde-notes"), QStringLiteral("test.MarkdownEditor")};
    const QStringList active = {QStringLiteral("test.MarkdownEditor")};
    const QStringList notes = {QStringLiteral("kde-notes")};
    const Case cases[] = {
        // The disabled rule and the running-editors rule are passed over.
        {plain, {}, "open", QStringLiteral("default"), active},
        {draft, {}, "open", QStringLiteral("R1"), both},
        {longForm, {}, "picker", QStringLiteral("R2"), {}},
        // Best running editor with none running falls back to the active editor.
        {archived, {}, "open", QStringLiteral("R3"), active},
        {plain,
         {QStringLiteral("--hotkey"), QStringLiteral("rule-R5")},
         "picker",
         QStringLiteral("R5"),
         {}},
        {plain,
         {QStringLiteral("--rule"), QStringLiteral("Drafts")},
         "open",
         QStringLiteral("R1"),
         both},
        {plain, {QStringLiteral("--rule=R0")}, "open", QStringLiteral("R0"), notes},
        {plain,
         {QStringLiteral("--rule"), QStringLiteral("nothing")},
         "ruleNotFound",
         QJsonValue(),
         {}},
        {custom, {}, "noEditor", QStringLiteral("default"), {}},
        {unknown, {}, "unrouted", QJsonValue(), {}},
    };
    for (const Case& c : cases) {
        const QJsonObject object = explainOne(c.options, c.path);
        const QString label =
            QFileInfo(c.path).fileName() + QLatin1Char(' ') + c.options.join(QLatin1Char(' '));
        EXPECT_EQ(object.value(QStringLiteral("file")).toString(), c.path) << qPrintable(label);
        EXPECT_EQ(object.value(QStringLiteral("decision")).toString(),
                  QString::fromUtf8(c.decision))
            << qPrintable(label);
        EXPECT_EQ(object.value(QStringLiteral("rule")), c.rule) << qPrintable(label);
        EXPECT_EQ(strings(object.value(QStringLiteral("editors"))), c.editors) << qPrintable(label);
    }

    const QJsonObject all = explainOne({}, longForm);
    EXPECT_EQ(all.value(QStringLiteral("route")).toString(), QStringLiteral("markdown"));
    EXPECT_EQ(all.value(QStringLiteral("title")).toString(),
              QStringLiteral("Choose a Markdown editor"));
    EXPECT_EQ(all.value(QStringLiteral("style")).toString(), QStringLiteral("radial"));
    QStringList entries;
    for (const QJsonValue& entry : all.value(QStringLiteral("entries")).toArray())
        entries.append(entry.toObject().value(QStringLiteral("title")).toString());
    // Preference order first; the disabled editors are not offered.
    ASSERT_GE(entries.size(), 2);
    EXPECT_EQ(entries.mid(0, 2),
              (QStringList{QStringLiteral("KDE Notes"), QStringLiteral("Markdown-Bearbeiter")}));
    EXPECT_FALSE(entries.contains(QStringLiteral("Text Viewer")));

    const QJsonObject running = explainOne({QStringLiteral("--hotkey=rule-R5")}, plain);
    EXPECT_EQ(running.value(QStringLiteral("title")).toString(),
              QStringLiteral("Choose a running Markdown editor"));
    const QJsonObject facts = running.value(QStringLiteral("facts")).toObject();
    EXPECT_EQ(facts.value(QStringLiteral("fileName")).toString(), QStringLiteral("plain"));
    EXPECT_EQ(facts.value(QStringLiteral("fileExtension")).toString(), QStringLiteral("md"));
    EXPECT_EQ(strings(facts.value(QStringLiteral("activeHotkeyNames"))),
              QStringList{QStringLiteral("rule-R5")});

    if (supportsUserAttributes(creator)) {
        const QJsonObject byCreator = explainOne({}, creator);
        EXPECT_EQ(byCreator.value(QStringLiteral("rule")).toString(), QStringLiteral("R4"));
        EXPECT_EQ(strings(byCreator.value(QStringLiteral("editors"))), notes);
        EXPECT_EQ(byCreator.value(QStringLiteral("facts"))
                      .toObject()
                      .value(QStringLiteral("creatorName")),
                  QStringLiteral("Typora"));
    }
}

TEST(ExplainCommand, ReportsMissingFilesFoldersAndBadOptions) {
    writeRoutes(RoutesFileCodec::encode(routesWithEveryKindOfRule(QStringLiteral("/nowhere"))));
    const QString plain = makeFile(QStringLiteral("plain.md"));
    const QString missing = LinuxSandbox::current().filesFolder() + QStringLiteral("/missing.md");

    const Result partly = runCorvanta({QStringLiteral("explain"), QStringLiteral("--json"), missing,
                                       plain, LinuxSandbox::current().filesFolder()});
    EXPECT_EQ(partly.status, 1);
    EXPECT_TRUE(partly.err.contains("missing.md: no such file")) << partly.err.constData();
    EXPECT_TRUE(partly.err.contains("is a folder")) << partly.err.constData();
    // The readable file is still explained.
    EXPECT_EQ(partly.out.trimmed().split('\n').size(), 1);

    const std::pair<QStringList, const char*> usage[] = {
        {{QStringLiteral("explain")}, "no file given"},
        {{QStringLiteral("explain"), QStringLiteral("--frobnicate"), plain}, "unknown option"},
        {{QStringLiteral("explain"), plain, QStringLiteral("--rule")}, "needs a value"},
        {{QStringLiteral("routes"), QStringLiteral("--xml")}, "unknown argument"},
        {{QStringLiteral("teach")}, "Usage: corvanta teach"},
    };
    for (const auto& [arguments, message] : usage) {
        const Result result = runCorvanta(arguments);
        EXPECT_EQ(result.status, 2) << qPrintable(arguments.join(QLatin1Char(' ')));
        EXPECT_TRUE(result.err.contains(message)) << result.err.constData();
    }
}

TEST(RoutesCommand, ListsTheStoredRoutesAndReportsADamagedFile) {
    writeRoutes(RoutesFileCodec::encode(routesWithEveryKindOfRule(QStringLiteral("/nowhere"))));
    const Result listed = runCorvanta({QStringLiteral("routes"), QStringLiteral("--json")});
    ASSERT_EQ(listed.status, 0) << listed.err.constData();
    const QJsonObject document = QJsonDocument::fromJson(listed.out).object();
    const QJsonArray routes = document.value(QStringLiteral("routes")).toArray();
    QStringList ids;
    for (const QJsonValue& route : routes)
        ids.append(route.toObject().value(QStringLiteral("id")).toString());
    EXPECT_TRUE(ids.contains(QStringLiteral("markdown")));
    EXPECT_TRUE(ids.contains(QStringLiteral("custom.zzq")));
    const QJsonObject markdown = routes.at(ids.indexOf(QStringLiteral("markdown"))).toObject();
    EXPECT_EQ(markdown.value(QStringLiteral("rules")).toArray().size(), 7);
    EXPECT_EQ(markdown.value(QStringLiteral("defaultRule")).toString(),
              QStringLiteral("Default Rule → Markdown-Bearbeiter"));

    writeRoutes("{ this is not a routes file");
    const Result damaged = runCorvanta({QStringLiteral("routes")});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.err.contains("Could not load settings")) << damaged.err.constData();
    EXPECT_TRUE(damaged.out.contains("(markdown)")) << damaged.out.constData();
    // A file that could not be read is never overwritten.
    QFile file(routesFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("{ this is not a routes file"));
}
} // namespace
