#include "core/fileactions/DesktopKeyFile.h"
#include "core/fileactions/KdeServiceMenuFile.h"
#include "core/fileactions/NemoActionFile.h"
#include "core/fileactions/ThunarActionsFile.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "core/utilities/ExecCommandLine.h"
#include "core/utilities/ExternalUtilityCatalog.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

using Dialect = ExecCommandLine::Dialect;
using Source = FileManagerAction::Source;
using Args = QList<QByteArray>;

QUrl file(const QByteArray& path) {
    return LocalFileURL::fromNativePath(path);
}

// Names a file manager may pass: shell syntax, quotes, bytes that are not UTF-8, a dash.
const QByteArray hostile = "/tmp/it's \"a\" $(rm -rf ~) \xff.txt";
const QByteArray dash = "/tmp/-rf";
const QList<QUrl> two = {file(hostile), file(dash)};

TEST(DesktopKeyFile, ReadsValuesEscapesListsAndLanguagesAndRejectsWhatIsNotAKeyFile) {
    const QByteArray text = "# comment\n"
                            "[Desktop Entry]\n"
                            "Name=Plain\n"
                            "Name[de]=Deutsch\n"
                            "Name[pt_BR]=Brasileiro\n"
                            "Name[sr@latin]=Latinica\n"
                            "Exec=run\\sit \\\\ \\n\n"
                            "MimeType=text/plain;image/*;a\\;b;;\n"
                            "Name=second definition is ignored\n"
                            "Active=false\n"
                            "\n"
                            "[Desktop Action one]\r\n"
                            "Exec=one\r\n";
    const auto parsed = DesktopKeyFile::parse(text);
    ASSERT_TRUE(parsed);
    const QString main = "Desktop Entry";
    EXPECT_EQ(parsed->groups(), (QStringList{main, "Desktop Action one"}));
    EXPECT_EQ(parsed->string(main, "Exec"), "run it \\ \n");
    EXPECT_EQ(parsed->stringList(main, "MimeType"), (QStringList{"text/plain", "image/*", "a;b"}));
    EXPECT_EQ(parsed->boolean(main, "Active"), false);
    EXPECT_EQ(parsed->string("Desktop Action one", "Exec"), "one");
    const struct {
        QStringList languages;
        QString name;
    } languages[] = {
        {{"de_DE"}, "Deutsch"},        {{"pt_BR"}, "Brasileiro"},  {{"pt"}, "Plain"},
        {{"fr", "de"}, "Deutsch"},     {{"sr@latin"}, "Latinica"}, {{}, "Plain"},
        {{"sr_RS@latin"}, "Latinica"},
    };
    for (const auto& c : languages)
        EXPECT_EQ(parsed->localeString(main, "Name", c.languages), c.name)
            << qPrintable(c.languages.join(','));

    for (const QByteArray& bad : QList<QByteArray>{
             "Name=before any group\n[Desktop Entry]\n",
             "[Desktop Entry]\njust words\n",
             "[Desktop Entry\nName=x\n",
             "[Desktop Entry]\n=no key\n",
             "[Desktop Entry]\nName=\xff\xfe\n",
             QByteArray("[Desktop Entry]\nName=a\0b\n", 24),
         })
        EXPECT_FALSE(DesktopKeyFile::parse(bad)) << bad.constData();
}

TEST(ExecCommandLine, EachFileIsOneArgumentAndQuotingFollowsTheDesktopEntryRules) {
    const struct {
        const char* line;
        Dialect dialect;
        QList<QUrl> files;
        QList<Args> runs;
    } cases[] = {
        // Quotes group, backslashes escape inside double quotes, "%%" is a percent.
        {R"("/opt/my editor/bin" "a \"b\" \\ \$c" 'x y' 100%% %F)",
         Dialect::desktopEntry,
         {file(dash)},
         {{"/opt/my editor/bin", "a \"b\" \\ $c", "x y", "100%", dash}}},
        // Codes with no files and unknown or retired codes expand to nothing.
        {"edit %F %d %v %m", Dialect::desktopEntry, {}, {{"edit"}}},
        {"edit %c %k", Dialect::desktopEntry, {}, {{"edit", "Name", "/entry.desktop"}}},
        {"edit %i %F", Dialect::desktopEntry, {file(dash)}, {{"edit", "--icon", "icon", dash}}},
        // Nemo: one run; %f is the first name, %P the folder, %e the name without extension.
        {"tool %F %f %P %p %e",
         Dialect::nemo,
         two,
         {{"tool", hostile, dash, hostile.mid(5), "/tmp", "tmp", hostile.mid(5).chopped(4)}}},
        // A quoted code still stands alone: users quote it out of shell habit.
        {"tool \"%F\"", Dialect::nemo, two, {{"tool", hostile, dash}}},
        // A code in the program's place never runs a selected file.
        {"%i %F", Dialect::nemo, two, {}},
        {"%f", Dialect::desktopEntry, two, {}},
        // "%" before a space or a digit is plain text.
        {"calc 50% %1 %F", Dialect::desktopEntry, {file(dash)}, {{"calc", "50%", "%1", dash}}},
    };
    for (const auto& c : cases) {
        const auto command = ExecCommandLine::parse(QString::fromUtf8(c.line));
        ASSERT_TRUE(command) << c.line;
        EXPECT_EQ(command->expand(c.dialect, {c.files, "Name", "/entry.desktop", "icon"}), c.runs)
            << c.line;
    }
    for (const char* bad : {"", "   ", "edit \"unterminated %F", "edit 'open"})
        EXPECT_FALSE(ExecCommandLine::parse(QString::fromUtf8(bad))) << bad;
}

TEST(ActionCommandLine, EachDialectRunsALineAsItsFileManagerDoesOrRefusesIt) {
    const QByteArray quoted = "'/tmp/it'\\''s \"a\" $(rm -rf ~) \xff.txt' '/tmp/-rf'";
    const auto shell = [](const QByteArray& line) { return Args{"/bin/sh", "-c", line}; };
    const std::optional<QList<Args>> unsafe;
    const struct {
        const char* line;
        Dialect dialect;
        std::optional<QList<Args>> runs;
    } cases[] = {
        // Thunar: one shell run with every value quoted; %f %d %n take the first file.
        {R"(printf '%%s\n%c' %F > OUT)",
         Dialect::thunar,
         {{shell(R"(printf '%s\n' )" + quoted + " > OUT")}}},
        {"cd %d && tool %n %f",
         Dialect::thunar,
         {{shell("cd '/tmp' && tool 'it'\\''s \"a\" $(rm -rf ~) \xff.txt' " +
                 quoted.left(quoted.indexOf(" '/tmp/-rf'")))}}},
        {"tool %D %N %x",
         Dialect::thunar,
         {{shell("tool '/tmp' '/tmp' 'it'\\''s \"a\" $(rm -rf ~) \xff.txt' '-rf' ")}}},
        // KIO runs a line with shell syntax through the shell, one run per file for %f.
        {"each %f > log",
         Dialect::desktopEntry,
         {{shell("each " + quoted.left(quoted.indexOf(" '/tmp/-rf'")) + " > log"),
           shell("each '/tmp/-rf' > log")}}},
        // Nemo splits the line itself: a quoted code is one argument.
        {R"(sh -c 'echo "$@"' sh %F)",
         Dialect::nemo,
         {{{"sh", "-c", R"(echo "$@")", "sh", hostile, dash}}}},
        // A code inside shell quotes or after a backslash is never run.
        {"echo '%f'", Dialect::thunar, unsafe},
        {R"(echo "%f")", Dialect::thunar, unsafe},
        {R"(echo \%f)", Dialect::thunar, unsafe},
        // A quoted code in a line KIO gives to the shell, or that Nemo hands to one.
        {R"(tool --file="%f")", Dialect::desktopEntry, unsafe},
        {R"(xterm -e "vim %f")", Dialect::nemo, unsafe},
    };
    for (const auto& c : cases) {
        const ActionCommandLine::Plan plan =
            ActionCommandLine::plan(c.dialect, QString::fromUtf8(c.line), {two, "N", "/k", "i"});
        EXPECT_EQ(plan.unsafe, !c.runs) << c.line;
        EXPECT_EQ(plan.runs, c.runs.value_or(QList<Args>{})) << c.line;
    }
}

FileManagerAction action(Source source, QString key, QString name, QString path,
                         std::optional<QString> exec, bool accepts = true) {
    FileManagerAction a;
    a.source = source;
    a.key = std::move(key);
    a.name = std::move(name);
    a.filePath = std::move(path);
    a.exec = std::move(exec);
    a.acceptsFiles = accepts;
    return a;
}

FileManagerAction unreadable(Source source, const QString& path, const QString& name) {
    FileManagerAction a = action(source, {}, name, path, std::nullopt);
    a.unreadable = true;
    return a;
}

TEST(FileManagerActions, ServiceMenusGiveOneActionPerDesktopActionAndFallBackToTheFileName) {
    const QString path = "/s/kio/servicemenus/tools.desktop";
    const struct {
        QByteArray data;
        QList<FileManagerAction> expected;
    } cases[] = {
        {"[Desktop Entry]\nType=Service\nMimeType=all/allfiles;\nActions=b;a;\n"
         "[Desktop Action a]\nName=Alpha\nName[de]=Alfa\nExec=alpha %F\n"
         "[Desktop Action b]\nName=Beta\nExec=beta %u\n",
         {action(Source::kdeServiceMenu, "b", "Beta", path, "beta %u"),
          action(Source::kdeServiceMenu, "a", "Alfa", path, "alpha %F")}},
        // No Actions key: every action group; one without Exec cannot run.
        {"[Desktop Entry]\n[Desktop Action x]\nName=X\nExec=x\n[Desktop Action y]\nName=Y\n",
         {action(Source::kdeServiceMenu, "", "X", path, "x")}},
        {"[Desktop Entry]\nActions=missing;\n", {}},
        {"[Other]\nName=x\n", {unreadable(Source::kdeServiceMenu, path, "tools.desktop")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KdeServiceMenuFile::read(path, c.data, {"de"}), c.expected) << c.data.constData();
}

TEST(FileManagerActions, NemoActionsHonourActiveSelectionAndFolderOnlyConditions) {
    const QString path = "/d/nemo/actions/my tool.nemo_action";
    const struct {
        QByteArray data;
        QList<FileManagerAction> expected;
    } cases[] = {
        {"[Nemo Action]\nName=Tool\nExec=tool %F\nSelection=m\nExtensions=txt;md;\n",
         {action(Source::nemoAction, "", "Tool", path, "tool %F")}},
        {"[Nemo Action]\n_Name=Old Style\nExec=tool\nExtensions=any;\n",
         {action(Source::nemoAction, "", "Old Style", path, "tool")}},
        // The program next to the action file, its folder quoted as one piece.
        {"[Nemo Action]\nName=Near\nExec=<run.sh %F>\n",
         {action(Source::nemoAction, "", "Near", path, "\"/d/nemo/actions/\"run.sh %F")}},
        {"[Nemo Action]\nName=Dirs\nExec=x\nExtensions=dir;\n",
         {action(Source::nemoAction, "", "Dirs", path, "x", false)}},
        {"[Nemo Action]\nName=None\nExec=x\nSelection=None\nExtensions=any;\n",
         {action(Source::nemoAction, "", "None", path, "x", false)}},
        {"[Nemo Action]\nName=Types\nExec=x\nMimetypes=inode/directory;\n",
         {action(Source::nemoAction, "", "Types", path, "x", false)}},
        {"[Nemo Action]\nName=No command\n",
         {unreadable(Source::nemoAction, path, "my tool.nemo_action")}},
        {"[Nemo Action\n", {unreadable(Source::nemoAction, path, "my tool.nemo_action")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NemoActionFile::read(path, c.data, {}), c.expected) << c.data.constData();
}

TEST(FileManagerActions, ThunarActionsNeedAFileKindAndAnyXmlFaultCostsTheWholeFile) {
    const QString path = "/c/Thunar/uca.xml";
    const QByteArray two = "<?xml version=\"1.0\"?><actions>"
                           "<action><name>Open Terminal</name><unique-id>1-1</unique-id>"
                           "<command>term %f</command><directories/></action>"
                           "<action><name>Compress</name><name xml:lang=\"de\">Packen</name>"
                           "<unique-id>2-2</unique-id><command>zip %N</command>"
                           "<text-files/><other-files/></action>"
                           "<action><name>No command</name></action>"
                           "</actions>";
    const struct {
        QByteArray data;
        QStringList languages;
        QList<FileManagerAction> expected;
    } cases[] = {
        {two,
         {"de_DE"},
         {action(Source::thunarAction, "1-1", "Open Terminal", path, "term %f", false),
          action(Source::thunarAction, "2-2", "Packen", path, "zip %N")}},
        {two,
         {},
         {action(Source::thunarAction, "1-1", "Open Terminal", path, "term %f", false),
          action(Source::thunarAction, "2-2", "Compress", path, "zip %N")}},
        {"<actions><action><name>One</name><command>x</command><image-files/></action></actions>",
         {},
         {action(Source::thunarAction, "", "One", path, "x")}},
        {"<actions><action><name>Cut", {}, {unreadable(Source::thunarAction, path, "uca.xml")}},
        {"<other/>", {}, {unreadable(Source::thunarAction, path, "uca.xml")}},
        {"<actions><action></actions>", {}, {unreadable(Source::thunarAction, path, "uca.xml")}},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><actions>&e;</actions>",
         {},
         {unreadable(Source::thunarAction, path, "uca.xml")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThunarActionsFile::read(path, c.data, c.languages), c.expected)
            << c.data.constData();
}

} // namespace
