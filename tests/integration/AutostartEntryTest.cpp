#include "platform/linux/XdgAutostartEntry.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// desktop-file-validate reads the entry onboarding writes in settings_e2e.
TEST(XdgAutostartEntry, WrittenQuotedAndQuietAndTheUsersEditsSurviveSwitching) {
    const QString path = LinuxSandbox::current().root() + "/autostart/entry.desktop";
    XdgAutostartEntry entry(path, "/opt/My Apps/100%/corvanta");
    EXPECT_EQ(entry.setEnabled(false), std::nullopt) << "nothing to switch off";
    ASSERT_FALSE(entry.isEnabled() || QFile::exists(path));
    ASSERT_EQ(entry.setEnabled(true), std::nullopt);
    const QByteArray written = readFile(path);
    EXPECT_TRUE(written.contains("Exec=\"/opt/My Apps/100%%/corvanta\" --login\n") &&
                !written.contains("DBusActivatable"))
        << written.constData(); // the bus would drop --login
    EXPECT_TRUE(entry.isEnabled());

    // The user's own entry: a comment, another command, a translation, GNOME's
    // switch off and no final newline. Switching changes only the switches.
    const QByteArray edited = "# mine\n[Desktop Entry]\nType=Application\nName=Corvanta\n"
                              "Name[de]=Corvanta\nExec=corvanta --login --verbose\n"
                              "X-GNOME-Autostart-enabled=false\n\n[Desktop Action x]\nName=X";
    ASSERT_TRUE(writeFile(path, edited));
    EXPECT_FALSE(entry.isEnabled());
    ASSERT_EQ(entry.setEnabled(true), std::nullopt);
    QByteArray expected = edited;
    expected.replace("X-GNOME-Autostart-enabled=false\n",
                     "X-GNOME-Autostart-enabled=true\nHidden=false\n");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(entry.isEnabled());
    ASSERT_EQ(entry.setEnabled(false), std::nullopt);
    expected.replace("Hidden=false", "Hidden=true");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_EQ(entry.setEnabled(false), std::nullopt);
    EXPECT_EQ(readFile(path), expected) << "switching off twice writes nothing";
}
} // namespace
