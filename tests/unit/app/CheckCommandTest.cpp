#include "app/CheckCommand.h"
#include "tests/support/FakeServices.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class CheckCommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString outText;
    QString errText;

    QString write(const QJsonObject& root) {
        writeFile(dir.filePath("routes.json"), JsonEdit::bytes(root));
        return dir.filePath("routes.json");
    }

    int run(const QStringList& arguments, const ShortcutRegistry* shortcuts = nullptr) {
        outText.clear();
        errText.clear();
        QTextStream out(&outText);
        QTextStream err(&errText);
        const int status = shortcuts ? CheckCommand(out, err, *shortcuts).run(arguments)
                                     : CheckCommand(out, err).run(arguments);
        out.flush();
        err.flush();
        return status;
    }
};

TEST_F(CheckCommandTest, goodFilePrintsRoutesRulesAndDefaultRule) {
    EXPECT_EQ(run({write(JsonEdit::document())}), 0);
    EXPECT_EQ(outText, "Markdown (markdown)\n"
                       "  No conditions (never matches) → Best running editor\n"
                       "  Drafts\n"
                       "  Default Rule → Select from all (fallback: Alpha)\n"
                       "Plain Text (plaintext)\n"
                       "  Default Rule → No Editor Selected\n");
    EXPECT_TRUE(errText.isEmpty());

    FakeShortcutRegistry shortcuts;
    shortcuts.shortcuts.insert("rule-R1", {Qt::Key_D, Qt::ControlModifier | Qt::AltModifier});
    EXPECT_EQ(
        run({write(JsonEdit::remove(JsonEdit::document(), "routes[0].rules[1].name"))}, &shortcuts),
        0);
    EXPECT_TRUE(outText.contains("  Name contains “draft” and Folder is not ~/x and Running "
                                 "editors > 2 and (Creator is com.a or Hotkey Ctrl+Alt+D) → "
                                 "Alpha, Beta\n"))
        << outText.toStdString();
}

TEST_F(CheckCommandTest, damagedFileNamesThePathAndFails) {
    const QString path =
        write(JsonEdit::set(JsonEdit::document(), "routes[0].editors[1].manual", "no"));
    EXPECT_EQ(run({path}), 1);
    EXPECT_EQ(errText,
              path + ": routes[0].editors[1].manual: expected a boolean, found a string\n");
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CheckCommandTest, usageAndUnreadableFiles) {
    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(errText.contains("Usage: corvanta check FILE"));
    for (const QStringList& arguments :
         {QStringList{"a", "b"}, QStringList{dir.filePath("missing.json")},
          QStringList{dir.path()}}) {
        EXPECT_EQ(run(arguments), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outText.isEmpty());
    }
}

} // namespace
