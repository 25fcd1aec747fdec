#include "core/selection/FileManagerActionsInstaller.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "core/utilities/FileManagerActions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

using RuleAction = FileManagerActionsInstaller::RuleAction;

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file under `root`, relative path to bytes.
std::map<QString, QByteArray> snapshot(const QString& root) {
    std::map<QString, QByteArray> files;
    QStringList pending{root};
    while (!pending.isEmpty()) {
        const QDir dir(pending.takeFirst());
        for (const QFileInfo& info :
             dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (info.isDir())
                pending.append(info.filePath());
            else
                files[QDir(root).relativeFilePath(info.filePath())] = read(info.filePath());
        }
    }
    return files;
}

// Thunar's actions in `bytes` by id, as the strict reader reads them; an
// unreadable file gives one entry "unreadable". (A file of one action has
// its id dropped by the reader.)
std::map<QString, QString> thunarActions(const QByteArray& bytes) {
    std::map<QString, QString> names;
    for (const FileManagerAction& a : FileManagerActions::readThunarActions("uca.xml", bytes, {}))
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
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        m_data = m_home.filePath(QStringLiteral("data"));
        m_config = m_home.filePath(QStringLiteral("config"));
    }
    FileManagerActionsInstaller
    installer(const QString& program = QStringLiteral("/usr/bin/corvanta")) {
        return FileManagerActionsInstaller({m_data, m_config}, program);
    }
    // One file of the user's in each format.
    void seedUserActions() {
        write(m_data + "/nemo/actions/mine.nemo_action", "[Nemo Action]\nName=Mine\nExec=x %F\n");
        write(m_data + "/nemo/actions/corvanta-notes.txt", "not an action of ours\n");
        write(m_data + "/kio/servicemenus/mine.desktop", "[Desktop Entry]\nType=Service\n");
        write(m_data + "/nautilus/scripts/Mine", "#!/bin/sh\n# corvanta-rule-X but not ours\n");
        write(m_data + "/nautilus/scripts/Sub/Deep", "#!/bin/sh\necho deep\n");
        write(m_config + "/Thunar/uca.xml", userUca);
    }

    QTemporaryDir m_home;
    QString m_data;
    QString m_config;
};

TEST_F(FileManagerActionsTest, InstallKeepsCurrentAndRemovalRestoresTheUsersFilesExactly) {
    seedUserActions();
    const auto before = snapshot(m_home.path());
    const QList<RuleAction> rules{{"A1", QStringLiteral("Markdown"), QStringLiteral("Super+M"), {}},
                                  {"B2", QStringLiteral("Images"), std::nullopt, {}}};
    auto fm = installer();

    const auto installed = fm.install(rules);
    EXPECT_TRUE(installed.ok()) << installed.errors.join("; ").toStdString();
    for (const QString& path : {m_data + "/nemo/actions/corvanta-rule-A1.nemo_action",
                                m_data + "/nemo/actions/corvanta-rule-B2.nemo_action",
                                m_data + "/kio/servicemenus/corvanta-rule-A1.desktop",
                                m_data + "/nautilus/scripts/Markdown (Corvanta)",
                                m_data + "/nautilus/scripts/Images (Corvanta)"})
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo(m_data + "/kio/servicemenus/corvanta-rule-A1.desktop").isExecutable());
    EXPECT_TRUE(QFileInfo(m_data + "/nautilus/scripts/Images (Corvanta)").isExecutable());
    const auto thunar = thunarActions(read(m_config + "/Thunar/uca.xml"));
    EXPECT_EQ(thunar.size(), 4u);
    EXPECT_EQ(thunar.at("corvanta-rule-B2"), QStringLiteral("Images"));
    EXPECT_EQ(thunar.at("1-1"), QStringLiteral("Open Terminal & Here"));

    // Nothing changed, nothing written.
    EXPECT_TRUE(fm.install(rules).written.isEmpty());

    // A renamed rule and a rule that lost its hotkey.
    const auto updated =
        fm.install({{"A1", QStringLiteral("Notes"), QStringLiteral("Super+N"), {}}});
    EXPECT_TRUE(updated.ok());
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nemo/actions/corvanta-rule-B2.nemo_action"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/kio/servicemenus/corvanta-rule-B2.desktop"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nautilus/scripts/Markdown (Corvanta)"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/nautilus/scripts/Images (Corvanta)"));
    EXPECT_TRUE(QFileInfo::exists(m_data + "/nautilus/scripts/Notes (Corvanta)"));
    EXPECT_TRUE(
        read(m_data + "/nemo/actions/corvanta-rule-A1.nemo_action").contains("Name=Notes\n"));
    const auto renamed = thunarActions(read(m_config + "/Thunar/uca.xml"));
    EXPECT_EQ(renamed.size(), 3u);
    EXPECT_EQ(renamed.at("corvanta-rule-A1"), QStringLiteral("Notes"));

    const auto removed = fm.remove();
    EXPECT_TRUE(removed.ok());
    auto after = snapshot(m_home.path());
    EXPECT_EQ(after, before);
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
    const auto fm = installer();
    const QList<RuleAction> rules{{"R", QStringLiteral("R"), std::nullopt, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto merged = fm.mergedThunarActions(c.existing, rules);
        ASSERT_TRUE(merged);
        EXPECT_FALSE(thunarActions(*merged).contains("unreadable")) << "read back";
        EXPECT_TRUE(merged->contains("<unique-id>corvanta-rule-R</unique-id>"));
        EXPECT_FALSE(merged->contains("corvanta-rule-OLD"));
        // Taking ours out again gives back the user's bytes, less our old action.
        const auto cleared = fm.mergedThunarActions(*merged, {});
        ASSERT_TRUE(cleared);
        EXPECT_EQ(*fm.mergedThunarActions(c.existing, {}), *cleared);
        EXPECT_FALSE(cleared->contains("corvanta-rule-"));
    }
    const auto withoutOld = fm.mergedThunarActions(cases[2].existing, {});
    EXPECT_EQ(*withoutOld, QByteArray("<actions>\n<action><unique-id>a</unique-id></action>\n"
                                      "<action><unique-id>b</unique-id></action>\n</actions>\n"));
}

TEST_F(FileManagerActionsTest, DamagedThunarFileIsNeverOverwritten) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"not xml", "this is not xml"},
        {"cut short", "<actions><action><unique-id>a</unique-id>"},
        {"other root", "<menu><action/></menu>"},
        {"not utf-8", "<actions><action><name>\xff\xfe</name></action></actions>"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write(m_config + "/Thunar/uca.xml", c.bytes);
        const auto result = installer().install({{"A", QStringLiteral("A"), std::nullopt, {}}});
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(read(m_config + "/Thunar/uca.xml"), c.bytes);
        // The other file managers still get theirs.
        EXPECT_TRUE(QFileInfo::exists(m_data + "/nemo/actions/corvanta-rule-A.nemo_action"));
        EXPECT_FALSE(installer().remove().ok());
        EXPECT_EQ(read(m_config + "/Thunar/uca.xml"), c.bytes);
    }
}

TEST_F(FileManagerActionsTest, HostileRuleNamesGiveValidFiles) {
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
    const QString program = m_home.filePath(QStringLiteral("my \"bin\"/cor$vanta%f"));
    auto fm = installer(program);
    QList<RuleAction> rules;
    for (int i = 0; i < int(std::size(names)); ++i)
        rules.append({QStringLiteral("ID%1").arg(i), names[i], names[i], {}});
    const auto result = fm.install(rules);
    ASSERT_TRUE(result.ok()) << result.errors.join("; ").toStdString();

    const QStringList scripts =
        QDir(m_data + "/nautilus/scripts").entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(scripts.size(), rules.size());
    // What we write, the strict readers read back as the same action.
    const QByteArray sample = "/tmp/it's a $(file) `id`.txt";
    const ExecCommandLine::Context context{{LocalFileURL::fromNativePath(sample)}, {}, {}, {}};
    const QList<FileManagerAction> thunarRead =
        FileManagerActions::readThunarActions("uca.xml", read(m_config + "/Thunar/uca.xml"), {});
    for (const RuleAction& rule : rules) {
        SCOPED_TRACE(rule.ruleName->toStdString());
        const QList<QByteArray> expected{QFile::encodeName(program),     "open", "--hotkey",
                                         "rule-" + rule.ruleId.toUtf8(), "--",   sample};
        const QString nemo = m_data + "/nemo/actions/corvanta-rule-" + rule.ruleId + ".nemo_action";
        const QString kde = m_data + "/kio/servicemenus/corvanta-rule-" + rule.ruleId + ".desktop";
        const auto thunar = std::find_if(thunarRead.begin(), thunarRead.end(), [&](const auto& a) {
            return a.key == "corvanta-rule-" + rule.ruleId;
        });
        ASSERT_NE(thunar, thunarRead.end());
        for (const FileManagerAction& action :
             FileManagerActions::readNemoAction(nemo, read(nemo), {}) +
                 FileManagerActions::readServiceMenu(kde, read(kde), {}) + QList{*thunar}) {
            EXPECT_FALSE(action.unreadable);
            EXPECT_FALSE(action.name.contains(u'\n') || action.name.trimmed().isEmpty());
            auto runs =
                ActionCommandLine::plan(action.dialect(), action.exec.value_or(""), context).runs;
            // Thunar's line is for the shell: its words, as /bin/sh splits single quotes.
            if (action.source == FileManagerAction::Source::thunarAction && runs.size() == 1)
                runs =
                    ExecCommandLine::parse(
                        QFile::decodeName(runs.first().last()).replace(u'%', QStringLiteral("%%")))
                        ->expand(ExecCommandLine::Dialect::nemo, {});
            EXPECT_EQ(runs, QList<QList<QByteArray>>{expected}) << qPrintable(*action.exec);
        }

        const QString script = FileManagerActionsInstaller::nautilusScriptName(rule);
        EXPECT_FALSE(script.contains(u'/'));
        EXPECT_FALSE(script.startsWith(u'.'));
        EXPECT_LE(script.toUtf8().size(), 255);
        EXPECT_TRUE(scripts.contains(script));
    }
}

TEST_F(FileManagerActionsTest, RuleIdsThatCannotNameAFileAreSkipped) {
    const auto result =
        installer().install({{"../../escape", QStringLiteral("Bad"), std::nullopt, {}},
                             {"ok-1", QStringLiteral("Good"), std::nullopt, {}}});
    EXPECT_EQ(result.skipped.size(), 1);
    const auto files = snapshot(m_home.path());
    for (const auto& [path, bytes] : files)
        EXPECT_FALSE(path.contains("escape") || bytes.contains("escape")) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(m_data + "/nemo/actions/corvanta-rule-ok-1.nemo_action"));
}

TEST_F(FileManagerActionsTest, NautilusScriptHandsOnNamesByteForByte) {
    // A stand-in for corvanta that records its arguments, one per NUL.
    const QString out = m_home.filePath(QStringLiteral("args"));
    const QString program = m_home.filePath(QStringLiteral("fake corvanta"));
    write(program, "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$ARGS_OUT\"\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    const RuleAction rule{"R9", QStringLiteral("it's \"$(id)\""), std::nullopt, {}};
    ASSERT_TRUE(installer(program).install({rule}).ok());

    const QList<QByteArray> files{"plain.txt", "new\nline", "quote'\"$(touch pwned)",
                                  "*",         "-n",        "\xff\xfe latin1 bytes",
                                  " "};
    // xargs passes the names on as raw bytes, as Nautilus does.
    const QString list = m_home.filePath(QStringLiteral("list"));
    write(list, files.join('\0') + '\0');
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ARGS_OUT"), out);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_home.path());
    process.setStandardInputFile(list);
    process.start(
        QStringLiteral("xargs"),
        {QStringLiteral("-0"),
         m_data + "/nautilus/scripts/" + FileManagerActionsInstaller::nautilusScriptName(rule)});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    QList<QByteArray> expected{"open", "--hotkey", "rule-R9", "--"};
    expected += files;
    QList<QByteArray> received = read(out).split('\0');
    received.removeLast();
    EXPECT_EQ(received, expected);
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        if (c.before)
            write(file, *c.before);
        auto fm = installer();
        const auto installed = fm.install({markdown});
        EXPECT_TRUE(installed.ok()) << installed.errors.join("; ").toStdString();
        EXPECT_EQ(read(file), c.installed);
        EXPECT_TRUE(fm.install({markdown}).written.isEmpty());
        // The rule lost its hotkey's accelerator (a key GTK has no name for here).
        EXPECT_TRUE(fm.install({{"R1", QStringLiteral("Markdown"), QStringLiteral("Ctrl+Launch0"),
                                 Shortcut{Qt::Key_Launch0, Qt::ControlModifier}}})
                        .ok());
        EXPECT_FALSE(read(file).contains("corvanta")) << read(file).toStdString();
        fm.install({markdown});
        EXPECT_TRUE(fm.remove().ok());
        EXPECT_EQ(QFileInfo::exists(file) ? std::optional<QByteArray>(read(file)) : std::nullopt,
                  c.removed);
    }
    // A file that is not text is never overwritten.
    static const char raw[] = "F4 Terminal\n\xff\xfe\0 broken";
    const QByteArray damaged(raw, sizeof raw - 1);
    write(file, damaged);
    EXPECT_FALSE(installer().install({markdown}).ok());
    EXPECT_EQ(read(file), damaged);
}

TEST(NautilusAccelerators, GtkTextOfACombination) {
    const struct {
        Shortcut shortcut;
        std::optional<QString> text;
    } cases[] = {
        {{Qt::Key_J, Qt::ControlModifier | Qt::AltModifier}, "<Control><Alt>j"},
        {{Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier}, "<Shift><Super>F5"},
        {{Qt::Key_7, Qt::ControlModifier}, "<Control>7"},
        {{Qt::Key_Comma, Qt::AltModifier}, "<Alt>comma"},
        {{Qt::Key_PageDown, Qt::ControlModifier}, "<Control>Page_Down"},
        {{Qt::Key_Eacute, Qt::ControlModifier}, "<Control>eacute"},
        {{Qt::Key_Launch0, Qt::ControlModifier}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileManagerActionsInstaller::gtkAccelerator(c.shortcut), c.text)
            << c.text.value_or("none").toStdString();
}
