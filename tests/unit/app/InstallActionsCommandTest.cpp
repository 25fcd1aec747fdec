#include "app/InstallActionsCommand.h"
#include "core/model/RouteStore.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class InstallActionsCommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakePlatform fake;
    QString outText;
    QString errText;

    QString routesFile(const QByteArray& bytes) {
        writeFile(dir.filePath(QStringLiteral("routes.json")), bytes);
        return dir.filePath(QStringLiteral("routes.json"));
    }
    QString nemo(const QString& id) const {
        return dir.filePath("data/nemo/actions/corvanta-rule-" + id + ".nemo_action");
    }

    int run(const QString& routes, const QStringList& arguments) {
        RouteStore store(fake.types, fake.workspace, routes, RouteStore::Access::readOnly);
        outText.clear();
        errText.clear();
        QTextStream out(&outText);
        QTextStream err(&errText);
        InstallActionsCommand command(out, err, fake.platform(), store);
        command.setFolders({dir.filePath("data"), dir.filePath("config"), {}});
        command.setProgram(QStringLiteral("/opt/corvanta"));
        command.setTargets({});
        return command.run(arguments);
    }
};

TEST_F(InstallActionsCommandTest, InstallsForRulesWithHotkeysAndRemovesOnRequest) {
    const QString routes = routesFile(JsonEdit::bytes(JsonEdit::document()));
    fake.shortcuts.setShortcut(Shortcut{Qt::Key_D, Qt::MetaModifier}, QStringLiteral("rule-R1"));

    EXPECT_EQ(run(routes, {}), 0) << errText.toStdString();
    EXPECT_TRUE(QFileInfo::exists(nemo("R1")));
    EXPECT_FALSE(QFileInfo::exists(nemo("R0"))); // no hotkey
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("data/nautilus/scripts/Drafts (Corvanta)")));
    EXPECT_TRUE(outText.contains("wrote "));

    // The hotkey is cleared: the next install takes its action away.
    fake.shortcuts.setShortcut(std::nullopt, QStringLiteral("rule-R1"));
    EXPECT_EQ(run(routes, {}), 0);
    EXPECT_FALSE(QFileInfo::exists(nemo("R1")));
    EXPECT_TRUE(outText.contains("No rule has a hotkey."));

    fake.shortcuts.setShortcut(Shortcut{Qt::Key_D, Qt::MetaModifier}, QStringLiteral("rule-R1"));
    EXPECT_EQ(run(routes, {}), 0);
    EXPECT_EQ(run(routes, {QStringLiteral("--remove")}), 0);
    EXPECT_FALSE(QFileInfo::exists(nemo("R1")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("config/Thunar/uca.xml")));
}

TEST_F(InstallActionsCommandTest, UnreadableRoutesLeaveInstalledActionsAlone) {
    fake.shortcuts.setShortcut(Shortcut{Qt::Key_D, Qt::MetaModifier}, QStringLiteral("rule-R1"));
    EXPECT_EQ(run(routesFile(JsonEdit::bytes(JsonEdit::document())), {}), 0);
    const QString broken = routesFile("{ not json");
    EXPECT_EQ(run(broken, {}), 1);
    EXPECT_TRUE(QFileInfo::exists(nemo("R1")));
    EXPECT_TRUE(errText.contains("nothing was changed"));
}

TEST_F(InstallActionsCommandTest, RejectsUnknownArguments) {
    const QString routes = routesFile(JsonEdit::bytes(JsonEdit::document()));
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"--remove", "extra"}, QStringList{"x"}}) {
        EXPECT_EQ(run(routes, arguments), 2);
        EXPECT_TRUE(errText.contains("Usage: corvanta install-actions"));
        EXPECT_FALSE(QDir(dir.filePath("data")).exists());
    }
}

} // namespace
