#include "app/CheckCommand.h"
#include "tests/support/FakeServices.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

const char routesFile[] = R"({"version": 2, "routes": [
  {"id": "markdown", "name": "Markdown",
   "editors": [{"bundleID": "io.typora.Typora", "name": "Typora", "opensFolder": false,
                "enabled": true, "manual": false},
               {"bundleID": "dev.zed.Zed", "name": "Zed", "opensFolder": false,
                "enabled": true, "manual": false}],
   "activeBundleID": "dev.zed.Zed",
   "rules": [
     {"id": "R1", "enabled": true,
      "when": {"id": "G1", "combine": "and", "predicates": [
        {"id": "P1", "kind": "fileName", "stringValue": "draft"},
        {"id": "P2", "kind": "modifierHeld"},
        {"id": "P3", "kind": "hotkey", "hotkeyName": "rule-R1"}]},
      "action": {"kind": "specificEditor", "bundleIDs": ["io.typora.Typora", "dev.zed.Zed"]}},
     {"id": "R2", "name": "Work files", "enabled": false,
      "when": {"id": "G2", "combine": "or", "predicates": []},
      "action": {"kind": "selectFromAllEditors"}}],
   "defaultActionKind": "selectFromRunningEditors"},
  {"id": "plaintext", "name": "Plain Text"}
]})";

class CheckCommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString outText;
    QString errText;

    QString write(const QString& name, const QByteArray& contents) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    int run(const QStringList& arguments, const ShortcutRegistry* shortcuts = nullptr) {
        QTextStream out(&outText);
        QTextStream err(&errText);
        const int status = shortcuts ? CheckCommand(out, err, *shortcuts).run(arguments)
                                     : CheckCommand(out, err).run(arguments);
        out.flush();
        err.flush();
        return status;
    }
};

TEST_F(CheckCommandTest, printsRoutesRulesAndDefaultRule) {
    ASSERT_TRUE(dir.isValid());
    const QString path = write("routes.json", routesFile);
    EXPECT_EQ(run({path}), 0);
    EXPECT_EQ(outText, "Markdown (markdown)\n"
                       "  Name is “draft” and Hotkey (not set) → Typora, Zed\n"
                       "  Work files\n"
                       "  Default Rule → Select from running (fallback: Zed)\n"
                       "Plain Text (plaintext)\n"
                       "  Default Rule → No Editor Selected\n");
    EXPECT_TRUE(errText.isEmpty());
}

TEST_F(CheckCommandTest, showsRecordedShortcutsWhenGivenARegistry) {
    FakeShortcutRegistry shortcuts;
    shortcuts.shortcuts.insert("rule-R1", "Ctrl+Alt+D");
    EXPECT_EQ(run({write("routes.json", routesFile)}, &shortcuts), 0);
    EXPECT_TRUE(outText.contains("Name is “draft” and Hotkey Ctrl+Alt+D → Typora, Zed"));
}

TEST_F(CheckCommandTest, decodingErrorNamesThePath) {
    const QByteArray broken = JsonEdit::bytes(
        JsonEdit::set(JsonEdit::parse(routesFile), "routes[0].editors[1].manual", "no"));
    const QString path = write("broken.json", broken);
    EXPECT_EQ(run({path}), 1);
    EXPECT_EQ(errText,
              path + ": routes[0].editors[1].manual: expected a boolean, found a string\n");
    EXPECT_TRUE(outText.isEmpty());

    const QString unknownKind =
        write("kind.json", QByteArray(routesFile).replace("\"hotkey\"", "\"fileSize\""));
    EXPECT_EQ(run({unknownKind}), 1);
    EXPECT_TRUE(errText.contains(
        R"(routes[0].rules[0].when.predicates[2].kind: unknown value "fileSize")"));

    EXPECT_EQ(run({write("garbage.json", "not json")}), 1);
}

TEST_F(CheckCommandTest, usageAndUnreadableFiles) {
    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(errText.contains("Usage: corvanta check FILE"));
    EXPECT_EQ(run({"a", "b"}), 2);
    EXPECT_EQ(run({dir.filePath("missing.json")}), 2);
    EXPECT_EQ(run({dir.path()}), 2);
    EXPECT_TRUE(outText.isEmpty());
}

} // namespace
