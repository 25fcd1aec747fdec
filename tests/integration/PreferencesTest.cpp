#include "platform/linux/SettingsPreferences.h"
#include "tests/integration/LinuxSandbox.h"

#include <gtest/gtest.h>

namespace {
// QSettings would read some strings back as lists, variants or trimmed text.
TEST(SettingsPreferences, ValuesReadBackUnchangedByAnotherInstance) {
    const QString path = LinuxSandbox::current().root() + "/prefs.conf";
    SettingsPreferences writer(path);
    const SettingsPreferences reader(path);
    for (const QString value : {"", "a,b", "@Variant(x)", "  spaced  ", "Grün “x”", "a;b=c"}) {
        EXPECT_EQ(reader.string("key"), std::nullopt);
        writer.setString("key", value);
        EXPECT_EQ(reader.string("key"), value);
        EXPECT_EQ(reader.boolean("key"), std::nullopt) << qPrintable(value);
        writer.setString("key", std::nullopt);
    }
    writer.setBoolean("yes", true);
    writer.setBoolean("no", false);
    EXPECT_TRUE(reader.boolean("yes") == true && reader.boolean("no") == false);
}
} // namespace
