#include "core/history/RoutingHistoryFile.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/xattr.h>

namespace {

QString makeFile(const QString& relative) {
    const QString path = LinuxSandbox::current().filesFolder() + '/' + relative;
    return writeFile(path, {}) ? path : QString();
}

// A rule called `id` with the one condition `when`.
Rule rule(const char* id, const Predicate& when, const RuleAction& action) {
    Rule r = RuleBuilders::rule(RuleBuilders::allOf({when}), action);
    r.id = id;
    return r;
}

// A Markdown route whose rules give every kind of decision from what the file
// itself tells (name, extension, creator) and the hotkey given, and a custom
// route without editors.
RouteStoreState routesWithEveryKindOfDecision() {
    using namespace RuleBuilders;
    Route markdown = route("markdown", "Markdown", "md"), empty;
    markdown.extensions = {"md", "markdown"};
    markdown.editors = {Editor{"test.MarkdownEditor", "Markdown Editor", false, true, false, {}},
                        Editor{"kde-notes", "KDE Notes", false, true, false, {}}};
    markdown.activeBundleID = "test.MarkdownEditor";
    const QStringList notes = {"kde-notes"}, both = {"kde-notes", "test.MarkdownEditor"};
    markdown.rules = {
        rule("R0", fileExtension(std::nullopt, ".MD"), openIn(notes)),
        rule("R1", fileName(std::nullopt, "DRAFT"), openIn(both)),
        rule("R2", fileExtension(std::nullopt, "markdown"), actionOf(Kind::selectFromAllEditors)),
        rule("R4", creatorApp(std::nullopt, std::nullopt, "typora"), openIn(notes)),
        rule("R5", hotkey("rule-R5"), actionOf(Kind::selectFromRunningEditors)),
    };
    markdown.rules[0].enabled = false;
    markdown.rules[1].name = "Drafts";
    empty.id = empty.name = "custom.zzq";
    empty.extensions = {"zzq"};
    empty.isCustom = true;
    RouteStoreState state;
    state.routes = {markdown, empty};
    for (Route& r : state.routes)
        r.normalizeUtilities();
    return state;
}

// What `explain --json` prints for a decision (the keys of its objects are sorted).
QByteArrayList explained(const char* decision, const char* rule, const char* editors = "") {
    const QByteArray ids = QByteArray(editors).split(' ').join("\",\"");
    return {"\"decision\":\"" + QByteArray(decision) + "\",\"editors\":[" +
                (*editors ? '"' + ids + '"' : QByteArray()) + "]",
            *rule ? "\"rule\":\"" + QByteArray(rule) + '"' : "\"rule\":null"};
}

TEST(Commands, ExplainGivesEveryKindOfDecisionAndErrorsKeepADamagedFile) {
    const QString folder = LinuxSandbox::current().filesFolder();
    const QString routesFile = SandboxHelpers::routesFile();
    const QByteArray valid = RoutesFileCodec::encode(routesWithEveryKindOfDecision());
    const QByteArray damaged = "{ this is not a routes file";
    const QString plain = makeFile("plain.md"), creator = makeFile("creator.md");
    const bool hasCreator =
        ::setxattr(QFile::encodeName(creator).constData(), "user.xdg.creator", "Typora", 6, 0) == 0;
    auto explain = [](const QStringList& arguments) {
        return QStringList{"explain", "--json"} + arguments;
    };
    const char *active = "test.MarkdownEditor", *both = "kde-notes test.MarkdownEditor";
    // Routed before: a cancelled picker for a name that is not UTF-8, then a rule's editor.
    QList<RoutingHistoryEntry> history(2);
    history[0].when = history[1].when = QDateTime::currentDateTimeUtc();
    history[0].path = "/tmp/caf\xe9.md";
    history[0].outcome = RoutingHistoryEntry::Outcome::pickerCancelled;
    history[1].path = "/tmp/notes.md";
    history[1].routeID = history[1].routeName = "Markdown";
    history[1].ruleName = history[1].ruleID = "Drafts";
    history[1].editors = {{"kde-notes", "Notes"}};
    QString error;
    ASSERT_TRUE(RoutingHistoryFile::write(RoutingHistoryFile::defaultPath(), history, error));
    const struct {
        const QByteArray& routes;
        QStringList arguments;
        int status;
        QByteArrayList out;
        const char* err = "";
    } cases[] = {
        // The disabled rule is passed over.
        {valid, explain({plain}), 0, explained("open", "default", active)},
        {valid, explain({makeFile("draft.md")}), 0, explained("open", "R1", both)},
        {valid, explain({makeFile("notes.markdown")}), 0,
         explained("picker", "R2") << "\"title\":\"Choose a Markdown editor\""},
        {valid, explain({creator}), 0, explained("open", "R4", "kde-notes")},
        {valid, explain({"--hotkey", "rule-R5", plain}), 0,
         explained("picker", "R5") << "\"title\":\"Choose a running Markdown editor\""},
        {valid, explain({"--rule", "Drafts", plain}), 0, explained("open", "R1", both)},
        // Forced even though disabled.
        {valid, explain({"--rule=R0", plain}), 0, explained("open", "R0", "kde-notes")},
        {valid, explain({"--rule", "nothing", plain}), 0, explained("ruleNotFound", "")},
        {valid, explain({makeFile("thing.zzq")}), 0, explained("noEditor", "default")},
        {valid, explain({makeFile("thing.unknownext")}), 0, explained("unrouted", "")},
        // Each file is reported on its own; the readable one is still explained.
        {valid, explain({plain + ".gone", plain}), 1, {"\"decision\":\"open\""}, ".gone: no such"},
        {valid, {"explain", folder}, 1, {}, "is a folder"},
        {valid, {"explain", "--frobnicate", plain}, 2, {}, "unknown option"},
        {valid, {"routes", "--xml"}, 2, {}, "unknown argument"},
        {valid, {"teach"}, 2, {}, "Usage: corvanta teach"},
        {valid, {"routes"}, 0, {"Default Rule → Markdown-Bearbeiter"}},
        // The built-in routes are listed; the file is kept for the user to repair.
        {damaged, {"routes"}, 1, {"Markdown (markdown)"}, "Could not load settings"},
        {damaged, {"routes", "--json"}, 1, {"\"loadFailed\": true"}, "Could not load settings"},
        {valid, {"routes", "--json"}, 0, {"\"hotkey\": \"rule-R5\""}},
        {valid,
         {"log"},
         0,
         {"caf\xef\xbf\xbd.md  -  -  picker: cancelled\n",
          "notes.md  Markdown  Drafts  opened in Notes\n"}},
        {valid,
         {"log", "--json", "-n1"},
         0,
         {"\"fileBytes\":\"" + QByteArray("/tmp/caf\xe9.md").toBase64() + '"'}},
        {valid, {"log", "-n", "x"}, 2, {}, "not a count"},
    };
    for (const auto& c : cases) {
        if (c.arguments.contains(creator) && !hasCreator)
            continue; // no user extended attributes on this file system
        SCOPED_TRACE(qPrintable(c.arguments.join(' ')));
        ASSERT_TRUE(writeFile(routesFile, c.routes));
        const SandboxHelpers::ProcessResult corvanta =
            SandboxHelpers::run(CORVANTA_PATH, c.arguments, 60000);
        EXPECT_EQ(corvanta.exitCode, c.status) << corvanta.err.data();
        EXPECT_TRUE(corvanta.err.contains(c.err)) << corvanta.err.data();
        for (const QByteArray& expected : c.out)
            EXPECT_TRUE(corvanta.out.contains(expected))
                << expected.data() << " in " << corvanta.out.data();
        EXPECT_TRUE(c.routes == valid || readFile(routesFile) == damaged);
    }
}

// Every file and folder under `root` with its inode, modification time and size.
std::string treeOf(const QString& root) {
    QList<QByteArray> lines =
        SandboxHelpers::run("find", {root, "-printf", "%p %i %T@ %s\\n"}).out.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines.join('\n').toStdString();
}
} // namespace

// Looking never writes: not on a first start without a folder, not with a file
// the tray instance would rewrite in the current format, and not in a bare
// environment (ssh, cron, `env -i`) without a session bus or the data folders
// the desktop session has.
TEST(Commands, RoutesExplainAndCheckCreateAndTouchNothing) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString folder = sandbox.configHome() + "/Corvanta";
    const QString sample = makeFile("look.md");
    QProcessEnvironment bare;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "PATH", "LC_ALL"})
        bare.insert(name, qEnvironmentVariable(name));
    bare.insert("XDG_DATA_DIRS", sandbox.root() + "/no-such-folder");
    // Not made yet: GLib makes it as a runtime folder when asked for the session bus.
    bare.insert("XDG_CACHE_HOME", sandbox.home() + "/.cache-of-a-bare-session");
    const QStringList commands[] = {{"routes"},
                                    {"routes", "--json"},
                                    {"explain", sample},
                                    {"explain", "--json", "--hotkey", "rule-x", sample},
                                    {"check", folder + "/routes.json"},
                                    {"log", "--json"}};
    // A file without "version": the owner would rewrite it. Its Default Rule
    // offers running editors, so explain looks for them (on the bus, too).
    const QByteArray oldFormat =
        JsonEdit::bytes(JsonEdit::set(JsonEdit::remove(JsonEdit::document(), "version"),
                                      "routes[0].defaultActionKind", "selectFromRunningEditors"));
    for (const bool withFile : {false, true}) {
        QDir(folder).removeRecursively();
        if (withFile)
            writeFile(folder + "/routes.json", oldFormat);
        for (const QProcessEnvironment& environment :
             {QProcessEnvironment::systemEnvironment(), bare}) {
            for (const QStringList& arguments : commands) {
                SCOPED_TRACE(qPrintable(
                    arguments.join(' ') + (withFile ? " (file)" : " (none)") +
                    (environment.contains("DBUS_SESSION_BUS_ADDRESS") ? "" : " (bare)")));
                const std::string before = treeOf(sandbox.home());
                EXPECT_NE(
                    SandboxHelpers::run(CORVANTA_PATH, arguments, 60000, environment).exitCode, -1);
                EXPECT_EQ(treeOf(sandbox.home()), before);
                EXPECT_EQ(QFileInfo::exists(folder), withFile);
            }
        }
    }
}
