#include "core/model/Route.h"
#include "core/utilities/ExternalUtilityRef.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(ExternalUtilityModel, DisplayNamesDropOnlyAppleScriptAndWorkflowExtensions) {
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"Archive.SCPT", "Archive"},
        {"Mail.applescript", "Mail"},
        {"Sub/Deep/Convert.workflow", "Convert"},
        {"resize.sh", "resize.sh"},
        {".scpt", ".scpt"},
        {"two.dots.Workflow", "two.dots"},
        {"plain", "plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptDisplayName(QString::fromUtf8(c.file)), QString::fromUtf8(c.name))
            << c.file;
}

TEST(ExternalUtilityModel, GroupsFollowKindOrderAndLeaveOutEmptyKinds) {
    Route route;
    route.enabledServices = {{"b|/x.desktop", "B"}, {"/a.desktop", "A"}};
    auto groups = externalUtilityGroups(route);
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0].first, ExternalUtilityKind::service);
    EXPECT_EQ(groups[0].second.size(), 2);

    route.enabledScripts = {{"s.sh", "s.sh"}};
    route.enabledShortcuts = {{"S", "Short"}};
    QStringList keys;
    for (const ExternalUtilityRef& ref : externalUtilities(route))
        keys << ref.key();
    EXPECT_EQ(keys, (QStringList{"S", "b|/x.desktop", "/a.desktop", "s.sh"}));

    // Same strings, different kind or name: different references.
    EXPECT_NE(ExternalUtilityRef::shortcut({"x", "n"}), ExternalUtilityRef::service({"x", "n"}));
    EXPECT_NE(ExternalUtilityRef::shortcut({"x", "n"}), ExternalUtilityRef::shortcut({"x", "m"}));
    EXPECT_EQ(ExternalUtilityRef::script({"x", "n"}), ExternalUtilityRef::script({"x", "n"}));
}

} // namespace
