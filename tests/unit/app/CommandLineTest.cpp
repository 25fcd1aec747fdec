#include "app/ApplicationService.h"
#include "app/CheckCommand.h"
#include "app/InstallActionsCommand.h"
#include "app/OpenArguments.h"
#include "app/RoutesFileOwner.h"
#include "app/TeachCommand.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {
// The commands on the fake platform, over a routes file in a temporary folder.
class CommandTest : public ::testing::Test {
protected:
    QString routesFile(const QByteArray& bytes = JsonEdit::bytes(JsonEdit::document())) {
        writeFile(dir.filePath("routes.json"), bytes);
        return dir.filePath("routes.json");
    }
    // Runs the command `run` makes over the two streams; its exit status.
    int command(const std::function<int(QTextStream&, QTextStream&)>& run) {
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        const int status = run(out, err);
        out.flush();
        err.flush();
        return status;
    }
    int check(const QStringList& arguments, const ShortcutRegistry* shortcuts = nullptr) {
        return command([&](QTextStream& out, QTextStream& err) {
            return shortcuts ? CheckCommand(out, err, *shortcuts).run(arguments)
                             : CheckCommand(out, err).run(arguments);
        });
    }
    int installActions(const QString& routes, const QStringList& arguments) {
        RouteStore store(fake.types, fake.workspace, routes, RouteStore::Access::readOnly);
        return command([&](QTextStream& out, QTextStream& err) {
            InstallActionsCommand install(out, err, fake.platform(), store);
            install.setFolders({dir.filePath("data"), dir.filePath("config"), {}});
            install.setProgram(QStringLiteral("/opt/corvanta"));
            install.setTargets({});
            return install.run(arguments);
        });
    }
    QString nemo(const QString& id) const {
        return dir.filePath("data/nemo/actions/corvanta-rule-" + id + ".nemo_action");
    }

    QTemporaryDir dir;
    FakePlatform fake;
    QString outText, errText;
};

TEST_F(CommandTest, CheckPrintsRoutesRulesAndDefaultRuleOrTheDecodingError) {
    EXPECT_EQ(check({routesFile()}), 0);
    EXPECT_EQ(outText, "Markdown (markdown)\n"
                       "  No conditions (never matches) → Best running editor\n"
                       "  Drafts\n"
                       "  Default Rule → Select from all (fallback: Alpha)\n"
                       "Plain Text (plaintext)\n"
                       "  Default Rule → No Editor Selected\n");
    EXPECT_TRUE(errText.isEmpty());

    fake.shortcuts.shortcuts.insert("rule-R1", {Qt::Key_D, Qt::ControlModifier | Qt::AltModifier});
    EXPECT_EQ(check({routesFile(JsonEdit::bytes(
                        JsonEdit::remove(JsonEdit::document(), "routes[0].rules[1].name")))},
                    &fake.shortcuts),
              0);
    EXPECT_TRUE(outText.contains("  Name contains “draft” and Folder is not ~/x and Running "
                                 "editors > 2 and (Creator is com.a or Hotkey Ctrl+Alt+D) → "
                                 "Alpha, Beta\n"))
        << outText.toStdString();

    const QString damaged = routesFile(
        JsonEdit::bytes(JsonEdit::set(JsonEdit::document(), "routes[0].editors[1].manual", "no")));
    EXPECT_EQ(check({damaged}), 1);
    EXPECT_EQ(errText,
              damaged + ": routes[0].editors[1].manual: expected a boolean, found a string\n");
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CommandTest, CheckUsageAndUnreadableFiles) {
    EXPECT_EQ(check({}), 2);
    EXPECT_TRUE(errText.contains("Usage: corvanta check FILE"));
    for (const QStringList& arguments :
         {QStringList{"a", "b"}, QStringList{dir.filePath("missing.json")},
          QStringList{dir.path()}}) {
        EXPECT_EQ(check(arguments), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outText.isEmpty());
    }
}

// Installing and removing for real is run against the file managers' own
// formats end to end; here: which rules get an action, and when nothing is touched.
TEST_F(CommandTest, InstallActionsFollowsTheHotkeysAndLeavesThemAloneWhenTheRoutesAreUnreadable) {
    const QString routes = routesFile();
    fake.shortcuts.setShortcut(Shortcut{Qt::Key_D, Qt::MetaModifier}, QStringLiteral("rule-R1"));
    EXPECT_EQ(installActions(routes, {}), 0) << errText.toStdString();
    EXPECT_TRUE(QFileInfo::exists(nemo("R1")));
    EXPECT_FALSE(QFileInfo::exists(nemo("R0"))); // no hotkey
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("data/nautilus/scripts/Drafts (Corvanta)")));
    EXPECT_TRUE(outText.contains("wrote "));

    EXPECT_EQ(installActions(routesFile("{ not json"), {}), 1);
    EXPECT_TRUE(QFileInfo::exists(nemo("R1")));
    EXPECT_TRUE(errText.contains("nothing was changed"));

    // The hotkey is cleared: the next install takes its action away.
    fake.shortcuts.setShortcut(std::nullopt, QStringLiteral("rule-R1"));
    EXPECT_EQ(installActions(routesFile(), {}), 0);
    EXPECT_FALSE(QFileInfo::exists(nemo("R1")));
    EXPECT_TRUE(outText.contains("No rule has a hotkey."));

    QDir(dir.filePath("data")).removeRecursively();
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"--remove", "extra"}, QStringList{"x"}}) {
        EXPECT_EQ(installActions(routes, arguments), 2);
        EXPECT_TRUE(errText.contains("Usage: corvanta install-actions"));
        EXPECT_FALSE(QDir(dir.filePath("data")).exists());
    }
}

// `corvanta teach` in its own process (no instance to hand over to): a type is
// taught only when it reached the file, whatever kept it from getting there.
TEST_F(CommandTest, TeachExitsNonZeroUnlessTheTaughtTypeWasSaved) {
    enum class Store { writable, unwritableFolder, readOnly, damaged };
    const struct {
        const char* name;
        Store store;
        int status;
        const char* err;
    } cases[] = {
        {"saved", Store::writable, 0, ""},
        {"the write failed", Store::unwritableFolder, 1, "could not save"},
        {"another process owns the file", Store::readOnly, 1, "not this process's to write"},
        {"the file could not be loaded", Store::damaged, 1, "could not be loaded"},
    };
    fake.types.addType("text/x-zq", {"zq"}, {"text/plain"}, "ZQ document");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = dir.filePath(QString::fromLatin1(c.name));
        QDir().mkpath(folder);
        fake.alerts.answers = {0, 0, 0}; // "Add Type", then whatever follows
        QString path = folder + "/routes.json";
        if (c.store == Store::unwritableFolder)
            path = folder + "/missing/routes.json";
        if (c.store == Store::damaged)
            writeFile(path, "{");
        RouteStore store(fake.types, fake.workspace, path,
                         c.store == Store::readOnly ? RouteStore::Access::readOnly
                                                    : RouteStore::Access::readWrite);
        const QString sample = folder + "/sample.zq";
        writeFile(sample, "zq\n");
        const int status = command([&](QTextStream& out, QTextStream& err) {
            return TeachCommand(out, err, fake.platform(), store).run({sample});
        });
        EXPECT_EQ(status, c.status) << qPrintable(outText + errText);
        EXPECT_TRUE(errText.contains(c.err)) << qPrintable(errText);
        EXPECT_EQ(readFile(path).contains("zq"), c.status == 0);
    }
}

TEST(RoutesFileOwner, OneOwnerAtATimeAndAnEndedOwnerIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Corvanta/routes.json");
    {
        const RoutesFileOwner first(path);
        ASSERT_TRUE(first.owns());
        EXPECT_EQ(first.access(), RouteStore::Access::readWrite);
        const RoutesFileOwner second(path);
        EXPECT_FALSE(second.owns());
        EXPECT_EQ(second.access(), RouteStore::Access::readOnly);
        EXPECT_EQ(second.ownerPid(), QCoreApplication::applicationPid());
        EXPECT_TRUE(second.refusal().contains(path)) << qPrintable(second.refusal());
    }
    // Let go when its process ends.
    EXPECT_TRUE(RoutesFileOwner(path).owns());

    // A process that ended without letting go (killed, crashed) leaves its lock behind.
    writeFile(path + ".lock",
              "999999999\ncorvanta\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    EXPECT_TRUE(RoutesFileOwner(path).owns());
}

using OpenArguments::HotkeyOpen;

TEST(HotkeyOpenArguments, NamesBeforeTheSeparatorAndFilesAfterIt) {
    const struct {
        const char* name;
        QList<QByteArray> arguments;
        std::optional<HotkeyOpen> expected;
    } cases[] = {
        {"one name", {"--hotkey", "rule-A", "--", "a.txt"}, HotkeyOpen{{"rule-A"}, {"a.txt"}}},
        {"two names, files that look like options",
         {"--hotkey", "rule-A", "--hotkey", "rule-B", "--", "--hotkey", "--", "-x"},
         HotkeyOpen{{"rule-A", "rule-B"}, {"--hotkey", "--", "-x"}}},
        {"names with odd bytes kept",
         {"--hotkey", "rule-\xc3\xa9", "--", "new\nline"},
         HotkeyOpen{{QStringLiteral("rule-é")}, {"new\nline"}}},
        {"no separator", {"--hotkey", "rule-A", "a.txt"}, std::nullopt},
        {"no files", {"--hotkey", "rule-A", "--"}, std::nullopt},
        {"name missing", {"--hotkey", "--", "a.txt"}, std::nullopt},
        {"empty name", {"--hotkey", "", "--", "a.txt"}, std::nullopt},
        {"dangling --hotkey", {"--hotkey"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(OpenArguments::isHotkeyOpen(c.arguments));
        EXPECT_EQ(OpenArguments::hotkeyOpen(c.arguments), c.expected);
    }
    EXPECT_FALSE(OpenArguments::isHotkeyOpen({"a.txt", "--hotkey"}));
}

TEST(HotkeyOpenArguments, ActionParameterSplitsAtTheFirstSeparator) {
    const auto request = ApplicationService::hotkeyOpenFromParameter(
        {"rule-A", "rule-B", "--", "file:///tmp/a%0Ab", "file:///tmp/--"});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->first, (QSet<QString>{"rule-A", "rule-B"}));
    ASSERT_EQ(request->second.size(), 2);
    EXPECT_EQ(request->second[0].toLocalFile(), QStringLiteral("/tmp/a\nb"));
    EXPECT_EQ(request->second[1].toLocalFile(), QStringLiteral("/tmp/--"));
    EXPECT_FALSE(ApplicationService::hotkeyOpenFromParameter({"--", "file:///tmp/a"}));
    EXPECT_FALSE(ApplicationService::hotkeyOpenFromParameter({"rule-A", "file:///tmp/a"}));
}

} // namespace
