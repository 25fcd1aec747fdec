#include "app/ApplicationService.h"
#include "app/OpenArguments.h"

#include <gtest/gtest.h>

namespace {

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
