#include "core/selection/FileManagerActionsInstaller.h"
#include "core/fileactions/NautilusScriptsFolder.h"
#include "core/fileactions/ThunarActionsFile.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "core/utilities/FileManagerActions.h"
#include "tests/support/TestFiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

using RuleAction = FileManagerActionsInstaller::RuleAction;

// The file's bytes; none when there is no file.
std::optional<QByteArray> contents(const QString& path) {
    return QFileInfo::exists(path) ? std::optional(readFile(path)) : std::nullopt;
}

// Every file under `root`, relative path to bytes.
std::map<QString, QByteArray> snapshot(const QString& root) {
    std::map<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        files[QDir(root).relativeFilePath(path)] = readFile(path);
    }
    return files;
}

// Thunar's actions in `bytes` by id, as the strict reader reads them; an
// unreadable file gives one entry "unreadable". (A file of one action has
// its id dropped by the reader.)
std::map<QString, QString> thunarActions(const QByteArray& bytes) {
    std::map<QString, QString> names;
    for (const FileManagerAction& a : ThunarActionsFile::read("uca.xml", bytes, {}))
        names[a.unreadable ? QStringLiteral("unreadable") : a.key] = a.name;
    return names;
}

const QByteArray userUca = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "<!-- mine -->\r\n"
                           "<actions>\r\n"
                           "<action>  <name>Open Terminal &amp; Here</name>"
                           "<unique-id>1-1</unique-id><command>exo-open %f</command></action>\r\n"
                           "  <action><name>Ünïcode</name><unique-id>2</unique-id>"
                           "<command>x %F</command></action>\r\n"
                           "</actions>\r\n";

class FileManagerActionsTest : public ::testing::Test {
protected:
    FileManagerActionsInstaller
    installer(const QString& program = QStringLiteral("/usr/bin/corvanta")) {
        return FileManagerActionsInstaller({m_data, m_config, {}}, program);
    }
    // One file of the user's in each format.
    void seedUserActions() {
        writeFile(m_data + "/nemo/actions/mine.nemo_action",
                  "[Nemo Action]\nName=Mine\nExec=x %F\n");
        writeFile(m_data + "/nemo/actions/corvanta-notes.txt", "not an action of ours\n");
        writeFile(m_data + "/kio/servicemenus/mine.desktop", "[Desktop Entry]\nType=Service\n");
        writeFile(m_data + "/nautilus/scripts/Mine", "#!/bin/sh\n# corvanta-rule-X but not ours\n");
        writeFile(m_data + "/nautilus/scripts/Sub/Deep", "#!/bin/sh\necho deep\n");
        writeFile(m_data + "/nautilus/scripts/Taken (Corvanta)", "#!/bin/sh\necho mine\n");
        writeFile(m_config + "/Thunar/uca.xml", userUca);
    }

    QTemporaryDir m_home;
    const QString m_data = m_home.filePath(QStringLiteral("data"));
    const QString m_config = m_home.filePath(QStringLiteral("config"));
};

TEST_F(FileManagerActionsTest, InstallKeepsCurrentAndRemovalRestoresTheUsersFilesExactly) {
    seedUserActions();
    const auto before = snapshot(m_home.path());
    const QList<RuleAction> rules{{"A1", QStringLiteral("Markdown"), QStringLiteral("Super+M"), {}},
                                  {"B2", QStringLiteral("Images"), std::nullopt, {}},
                                  {"../../escape", QStringLiteral("Bad"), std::nullopt, {}},
                                  {"C3", QStringLiteral("Taken"), std::nullopt, {}}};
    auto fm = installer();

    const auto installed = fm.install(rules);
    EXPECT_TRUE(installed.ok()) << installed.errors.join("; ").toStdString();
    // An id that cannot name a file, and a script the user's own script's name holds.
    EXPECT_EQ(installed.skipped.size(), 2);
    for (const auto& [path, bytes] : snapshot(m_home.path()))
        EXPECT_FALSE(path.contains("escape") || bytes.contains("escape")) << path.toStdString();
    for (const QString& path : {m_data + "/nemo/actions/corvanta-rule-A1.nemo_action",
                                m_data + "/nemo/actions/corvanta-rule-B2.nemo_action",
                                m_data + "/nautilus/scripts/Markdown (Corvanta)"})
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo(m_data + "/kio/servicemenus/corvanta-rule-A1.desktop").isExecutable());
    EXPECT_TRUE(QFileInfo(m_data + "/nautilus/scripts/Images (Corvanta)").isExecutable());
    const auto thunar = thunarActions(readFile(m_config + "/Thunar/uca.xml"));
    EXPECT_EQ(thunar.size(), 5u);
    EXPECT_EQ(thunar.at("corvanta-rule-B2"), QStringLiteral("Images"));
    EXPECT_EQ(thunar.at("1-1"), QStringLiteral("Open Terminal & Here"));

    // Nothing changed, nothing written.
    EXPECT_TRUE(fm.install(rules).written.isEmpty());

    // A renamed rule and a rule that lost its hotkey.
    EXPECT_TRUE(fm.install({{"A1", QStringLiteral("Notes"), QStringLiteral("Super+N"), {}}}).ok());
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nemo/actions/corvanta-rule-B2.nemo_action"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/kio/servicemenus/corvanta-rule-B2.desktop"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nautilus/scripts/Markdown (Corvanta)"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nautilus/scripts/Images (Corvanta)"));
    EXPECT_TRUE(QFileInfo::exists(m_data + "/nautilus/scripts/Notes (Corvanta)"));
    EXPECT_TRUE(
        readFile(m_data + "/nemo/actions/corvanta-rule-A1.nemo_action").contains("Name=Notes\n"));
    const auto renamed = thunarActions(readFile(m_config + "/Thunar/uca.xml"));
    EXPECT_EQ(renamed.size(), 3u);
    EXPECT_EQ(renamed.at("corvanta-rule-A1"), QStringLiteral("Notes"));

    EXPECT_TRUE(fm.remove().ok());
    EXPECT_EQ(snapshot(m_home.path()), before);
}

TEST_F(FileManagerActionsTest, ThunarMergeAroundTheUsersLayouts) {
    const struct {
        const char* name;
        QByteArray existing;
    } cases[] = {
        {"empty element", "<?xml version=\"1.0\"?>\n<actions/>\n"},
        {"no final newline", "<actions><action><unique-id>u</unique-id></action></actions>"},
        {"ours between theirs",
         "<actions>\n<action><unique-id>a</unique-id></action>\n"
         "\t<action><unique-id>corvanta-rule-OLD</unique-id><name>x</name></action>\n"
         "<action><unique-id>b</unique-id></action>\n</actions>\n"},
    };
    const auto merge = [](const QByteArray& existing, const QList<ActionEntry>& entries) {
        return ThunarActionsFile::merged(existing, "corvanta-rule-", entries);
    };
    const QList<ActionEntry> rules{{"corvanta-rule-R", "R", "", {"corvanta"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto merged = merge(c.existing, rules);
        ASSERT_TRUE(merged);
        EXPECT_FALSE(thunarActions(*merged).contains("unreadable")) << "read back";
        EXPECT_TRUE(merged->contains("<unique-id>corvanta-rule-R</unique-id>"));
        EXPECT_FALSE(merged->contains("corvanta-rule-OLD"));
        // Taking ours out again gives back the user's bytes, less our old action.
        const auto cleared = merge(*merged, {});
        ASSERT_TRUE(cleared);
        EXPECT_EQ(*merge(c.existing, {}), *cleared);
        EXPECT_FALSE(cleared->contains("corvanta-rule-"));
    }
    EXPECT_EQ(*merge(cases[2].existing, {}),
              QByteArray("<actions>\n<action><unique-id>a</unique-id></action>\n"
                         "<action><unique-id>b</unique-id></action>\n</actions>\n"));
}

// The files merged with the user's lines: one we cannot read is left byte for byte.
TEST_F(FileManagerActionsTest, DamagedMergedFilesAreNeverOverwritten) {
    static const char notText[] = "F4 Terminal\n\xff\xfe\0 broken";
    const struct {
        const char* file;
        QByteArray bytes;
    } cases[] = {
        {"/Thunar/uca.xml", "this is not xml"},
        {"/Thunar/uca.xml", "<actions><action><unique-id>a</unique-id>"},
        {"/Thunar/uca.xml", "<menu><action/></menu>"},
        {"/Thunar/uca.xml", "<actions><action><name>\xff\xfe</name></action></actions>"},
        {"/Thunar/uca.xml", ""},
        {"/nautilus/scripts-accels", QByteArray(notText, sizeof notText - 1)},
    };
    const RuleAction rule{"A", QStringLiteral("A"), QStringLiteral("Ctrl+Alt+K"),
                          Shortcut{Qt::Key_K, Qt::ControlModifier | Qt::AltModifier}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + c.bytes.toStdString());
        const QString file = m_config + QString::fromLatin1(c.file);
        writeFile(file, c.bytes);
        EXPECT_FALSE(installer().install({rule}).ok());
        EXPECT_EQ(contents(file), c.bytes);
        // The other file managers still get theirs.
        EXPECT_TRUE(QFileInfo::exists(m_data + "/nemo/actions/corvanta-rule-A.nemo_action"));
        EXPECT_FALSE(installer().remove().ok());
        EXPECT_EQ(contents(file), c.bytes);
        QFile::remove(file);
    }
}

TEST_F(FileManagerActionsTest, WhatWeWriteIsReadBackAndRunsAsTheSameActionWhateverTheNames) {
    const QString names[] = {
        QStringLiteral("say \"hi\" it's"),
        QStringLiteral("a/b/../../c"),
        QStringLiteral("line1\nline2\rExec=rm -rf ~"),
        QStringLiteral("<x> & </name>]]>"),
        QStringLiteral("back\\slash $HOME `id` %F ;|"),
        QStringLiteral("  leading space"),
        QStringLiteral(".hidden"),
        QStringLiteral("\t\n"),
        QString(300, u'é'),
    };
    // A stand-in for corvanta at a hostile path that records its arguments,
    // one per NUL.
    const QString program = m_home.filePath(QStringLiteral("my \"bin\"/cor$vanta%f"));
    const QString out = m_home.filePath(QStringLiteral("args"));
    writeFile(program, "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + out.toUtf8() + "'\n", true);
    QList<RuleAction> rules;
    for (int i = 0; i < int(std::size(names)); ++i)
        rules.append({QStringLiteral("ID%1").arg(i), names[i], names[i], {}});
    const auto result = installer(program).install(rules);
    ASSERT_TRUE(result.ok()) << result.errors.join("; ").toStdString();

    // Files whose names must reach corvanta byte for byte and never run.
    QList<QByteArray> files;
    for (const QByteArray& name : {QByteArray("new\nline"), QByteArray("quote'\"$(touch pwned)"),
                                   QByteArray("*"), QByteArray("-n"), QByteArray("\xff\xfe bytes")})
        files.append(QFile::encodeName(m_home.path()) + '/' + name);
    QList<QUrl> urls;
    for (const QByteArray& file : files)
        urls.append(LocalFileURL::fromNativePath(file));
    // xargs runs an argument vector as given, whatever bytes it holds.
    const auto run = [&](const QList<QByteArray>& argv) {
        QFile::remove(out);
        writeFile(m_home.filePath(QStringLiteral("argv")), argv.join('\0') + '\0');
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.setStandardInputFile(m_home.filePath(QStringLiteral("argv")));
        process.start(QStringLiteral("xargs"), {"-0", "sh", "-c", "exec \"$@\"", "sh"});
        EXPECT_TRUE(process.waitForFinished(10000) && process.exitCode() == 0)
            << process.readAllStandardError().toStdString();
        QList<QByteArray> received = readFile(out).split('\0');
        received.removeLast();
        return received;
    };

    // As each file manager reads and runs them: one action per rule and format.
    const QList<FileManagerAction> actions =
        FileManagerActions::installed({{m_data}, m_config, m_data, {}});
    EXPECT_EQ(actions.size(), 4 * rules.size());
    for (const RuleAction& rule : rules) {
        SCOPED_TRACE(rule.ruleName->toStdString());
        QList<QByteArray> expected{"open", "--hotkey", "rule-" + rule.ruleId.toUtf8(), "--"};
        expected += files;
        const QString script = FileManagerActionsInstaller::nautilusScriptName(rule);
        EXPECT_FALSE(script.contains(u'/') || script.startsWith(u'.'));
        EXPECT_LE(script.toUtf8().size(), 255);
        int found = 0;
        for (const FileManagerAction& action : actions) {
            const bool nautilus = action.source == FileManagerAction::Source::nautilusScript;
            if (nautilus ? action.name != script
                         : !action.id().contains("corvanta-rule-" + rule.ruleId + u'.') &&
                               !action.id().startsWith("corvanta-rule-" + rule.ruleId + u'|'))
                continue;
            ++found;
            EXPECT_FALSE(action.unreadable || action.name.contains(u'\n') ||
                         action.name.trimmed().isEmpty());
            const auto runs =
                nautilus
                    ? QList<QList<QByteArray>>{QList{QFile::encodeName(action.filePath)} + files}
                    : ActionCommandLine::plan(FileManagerActions::dialect(action),
                                              action.exec.value_or(""), {urls, {}, {}, {}})
                          .runs;
            ASSERT_EQ(runs.size(), 1) << qPrintable(action.exec.value_or(action.filePath));
            EXPECT_EQ(run(runs.first()), expected) << qPrintable(action.exec.value_or(""));
        }
        EXPECT_EQ(found, 4);
    }
    EXPECT_FALSE(QFileInfo::exists(m_home.filePath(QStringLiteral("pwned"))));
}

} // namespace

TEST_F(FileManagerActionsTest, NautilusAcceleratorsFollowTheRulesAroundTheUsersLines) {
    const QString file = m_config + "/nautilus/scripts-accels";
    const Shortcut ctrlAltK{Qt::Key_K, Qt::ControlModifier | Qt::AltModifier};
    const FileManagerActionsInstaller::RuleAction markdown{"R1", QStringLiteral("Markdown"),
                                                           QStringLiteral("Ctrl+Alt+K"), ctrlAltK};
    const QByteArray ours = "; corvanta-rule-R1\n<Control><Alt>k Markdown (Corvanta)\n";
    const QByteArray users = "; mine\r\nF4 Terminal\r\n\r\n<Primary>b Bash";
    const struct {
        const char* name;
        std::optional<QByteArray> before;
        QByteArray installed;
        std::optional<QByteArray> removed; // none: no file left
    } cases[] = {
        {"no file", std::nullopt, ours, std::nullopt},
        {"the user's lines, byte for byte", users, ours + users, users},
        {"ours from before a rename, between theirs",
         "F4 Terminal\n; corvanta-rule-R1\n<Super>x Old name (Corvanta)\nF5 Other\n",
         ours + "F4 Terminal\nF5 Other\n", QByteArray("F4 Terminal\nF5 Other\n")},
        {"our line edited away by the user", "; corvanta-rule-R1\nF6 Mine\n", ours + "F6 Mine\n",
         QByteArray("F6 Mine\n")},
        {"an empty file", QByteArray(), ours, std::nullopt},
    };
    // The modifiers in GTK's words and order; key names are the shortcut
    // portal's tests' matter (the same table).
    const auto all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    EXPECT_EQ(NautilusScriptsFolder::gtkAccelerator({Qt::Key_F5, all}),
              "<Control><Shift><Alt><Super>F5");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        if (c.before)
            writeFile(file, *c.before);
        auto fm = installer();
        const auto installed = fm.install({markdown});
        EXPECT_TRUE(installed.ok()) << installed.errors.join("; ").toStdString();
        EXPECT_EQ(readFile(file), c.installed);
        EXPECT_TRUE(fm.install({markdown}).written.isEmpty());
        // The rule lost its hotkey's accelerator (a key GTK has no name for here).
        EXPECT_TRUE(fm.install({{"R1", QStringLiteral("Markdown"), QStringLiteral("Ctrl+Launch0"),
                                 Shortcut{Qt::Key_Launch0, Qt::ControlModifier}}})
                        .ok());
        EXPECT_FALSE(readFile(file).contains("corvanta")) << readFile(file).toStdString();
        fm.install({markdown});
        EXPECT_TRUE(fm.remove().ok());
        EXPECT_EQ(contents(file), c.removed);
    }
}
