#include "core/selection/FileManagerActionsKeeper.h"
#include "core/model/RouteStore.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FileManagerActionsKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        Route org = route(QStringLiteral("custom.org"), "Org", "org");
        rule = RuleBuilders::rule(RuleBuilders::allOf({}), RuleBuilders::openIn({}));
        rule.name = QStringLiteral("Old name");
        org.rules = {rule};
        writeRoutes(routesPath, {org});
        store = std::make_unique<RouteStore>(fake.types, fake.workspace, routesPath);
        fake.shortcuts.setShortcut(Shortcut{Qt::Key_K, Qt::MetaModifier}, rule.hotkeyName());
    }
    FileManagerActionsInstaller installer() const {
        return FileManagerActionsInstaller({dir.filePath("data"), dir.filePath("config"), {}},
                                           QStringLiteral("/usr/bin/corvanta"));
    }
    static void recorderEnded(ShortcutRegistry& registry) {
        registry.postRecorderActiveStatusDidChange({{ShortcutRegistry::isActiveKey, false}});
    }

    QTemporaryDir dir;
    FakePlatform fake;
    Rule rule;
    const QString routesPath = dir.filePath(QStringLiteral("routes.json"));
    std::unique_ptr<RouteStore> store;
};

TEST_F(FileManagerActionsKeeperTest, InstallsNothingWithoutConsent) {
    FileManagerActionsKeeper keeper(*store, fake.shortcuts, installer(), {});
    rule.name = QStringLiteral("Renamed");
    store->upsertRule(QStringLiteral("custom.org"), rule);
    recorderEnded(fake.shortcuts);
    EXPECT_FALSE(installer().hasInstalled());
}

TEST_F(FileManagerActionsKeeperTest, FollowsRenamesAndRecordedHotkeys) {
    ASSERT_TRUE(installer().install({{rule.id, rule.name, QStringLiteral("Super+K"), {}}}).ok());
    FileManagerActionsKeeper keeper(*store, fake.shortcuts, installer(), {});

    rule.name = QStringLiteral("New name");
    store->upsertRule(QStringLiteral("custom.org"), rule);
    // The accelerators line names the rule and its hotkey; how each format
    // follows a rename is the installer's tests' matter.
    const auto accels = [&] { return readFile(dir.filePath("config/nautilus/scripts-accels")); };
    EXPECT_TRUE(accels().endsWith("\n<Super>k New name (Corvanta)\n")) << accels().toStdString();

    // Another combination recorded.
    fake.shortcuts.setShortcut(Shortcut{Qt::Key_J, Qt::ControlModifier | Qt::AltModifier},
                               rule.hotkeyName());
    recorderEnded(fake.shortcuts);
    EXPECT_TRUE(accels().endsWith("\n<Control><Alt>j New name (Corvanta)\n"))
        << accels().toStdString();

    // A cleared hotkey takes its actions away: see the install-actions command's test.
}

TEST_F(FileManagerActionsKeeperTest, RoutesThatFailedToLoadRemoveNothing) {
    ASSERT_TRUE(installer().install({{rule.id, rule.name, QStringLiteral("Super+K"), {}}}).ok());
    writeFile(routesPath, "{ broken");
    RouteStore unreadable(fake.types, fake.workspace, routesPath, RouteStore::Access::readOnly);
    ASSERT_TRUE(unreadable.loadFailed());
    FileManagerActionsKeeper keeper(unreadable, fake.shortcuts, installer(), {});
    keeper.refresh();
    EXPECT_TRUE(QFileInfo::exists(
        dir.filePath("data/nemo/actions/corvanta-rule-" + rule.id + ".nemo_action")));
}

} // namespace
