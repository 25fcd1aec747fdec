#include "core/platform/AutomationStatus.h"
#include "core/selection/TCCPermissions.h"
#include "tests/support/CoreAppTest.h"
#include "tests/support/FakeSelectionPorts.h"

#include <QObject>
#include <memory>

namespace {
using TCCPermissions::PermissionTone;
using TCCPermissions::ScriptCheck;
using TCCPermissions::TileStatus;

const TileStatus granted{QStringLiteral("● granted"), PermissionTone::granted};
const TileStatus notGranted{QStringLiteral("○ not granted"), PermissionTone::attention};
const TileStatus scriptsNeeded{QStringLiteral("○ scripts needed — Install Scripts…"),
                               PermissionTone::attention};

class TCCPermissionsTest : public CoreAppTest {};

TEST_F(TCCPermissionsTest, AutomationRequestCompletesLaterAndNotAfterItsContextIsGone) {
    FakeSelectionPermissions port;
    port.automation = AutomationStatus::granted;
    std::optional<AutomationStatus> got;
    QObject context;
    TCCPermissions::requestAutomation(port, &context, [&](AutomationStatus s) { got = s; });
    // Never synchronously: the caller shows "requesting…" first.
    EXPECT_FALSE(got.has_value());
    QCoreApplication::processEvents();
    EXPECT_EQ(got, AutomationStatus::granted);

    bool called = false;
    auto gone = std::make_unique<QObject>();
    TCCPermissions::requestAutomation(port, gone.get(), [&](AutomationStatus) { called = true; });
    gone.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

TEST(TCCPermissions, AutomationTileInNormalMode) {
    EXPECT_EQ(TCCPermissions::automationTileStatus(AutomationStatus::notDetermined), notGranted);
    EXPECT_EQ(TCCPermissions::automationTileStatus(AutomationStatus::unavailable), notGranted);
    EXPECT_EQ(TCCPermissions::firstUseTileStatus().text,
              QStringLiteral("◐ requested on first use"));
}

TEST(TCCPermissions, AutomationTileInScriptsModeRunsTheHelperOnlyWhenItDecides) {
    using S = AutomationStatus;
    const struct {
        const char* name;
        bool current;
        S status;
        std::optional<ScriptCheck> check; // none: must not run
        std::optional<S> again;           // none: must not probe again
        TileStatus expected;
    } rows[] = {
        {"granted", true, S::granted, std::nullopt, std::nullopt, granted},
        {"missing helper", true, S::notDetermined, ScriptCheck::missingScript, std::nullopt,
         scriptsNeeded},
        {"helper fails, unknown", true, S::notDetermined, ScriptCheck::failed, S::unavailable,
         notGranted},
    };
    for (const auto& row : rows) {
        int runs = 0;
        int probes = 0;
        const TileStatus got = TCCPermissions::automationTileStatusWithScripts(
            row.current, row.status,
            [&] {
                ++runs;
                return row.check.value_or(ScriptCheck::succeeded);
            },
            [&] {
                ++probes;
                return row.again.value_or(S::granted);
            });
        EXPECT_EQ(got, row.expected) << row.name;
        EXPECT_EQ(runs, row.check ? 1 : 0) << row.name;
        EXPECT_EQ(probes, row.again ? 1 : 0) << row.name;
    }
}

} // namespace
