#include "platform/linux/XdgAutostartEntry.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(XdgAutostartEntry, WrittenValidAndQuietAndTheUsersEditsSurviveSwitching) {
    XdgAutostartEntry defaults;
    EXPECT_EQ(defaults.path(),
              LinuxSandbox::current().configHome() + "/autostart/io.corvanta.Corvanta.desktop");
    const QString path = LinuxSandbox::current().root() + "/autostart/entry.desktop";
    const struct {
        const char* program;
        const char* exec;
    } programs[] = {
        {"/usr/bin/corvanta", "Exec=/usr/bin/corvanta --login\n"},
        {"/opt/My Apps/100%/corvanta", "Exec=\"/opt/My Apps/100%%/corvanta\" --login\n"},
    };
    for (const auto& p : programs) {
        SCOPED_TRACE(p.program);
        QFile::remove(path);
        XdgAutostartEntry entry(path, p.program);
        EXPECT_EQ(entry.setEnabled(false), std::nullopt) << "nothing to switch off";
        ASSERT_FALSE(entry.isEnabled() || QFile::exists(path));
        ASSERT_EQ(entry.setEnabled(true), std::nullopt);
        const QByteArray written = readFile(path);
        EXPECT_EQ(written, entry.initialContents());
        EXPECT_TRUE(written.contains(p.exec) && !written.contains("DBusActivatable"))
            << written.constData(); // the bus would drop --login
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate", {path});
        EXPECT_TRUE(validate.waitForFinished() && validate.exitCode() == 0 &&
                    validate.readAll().isEmpty());
        EXPECT_TRUE(entry.isEnabled());
    }

    // The user's own entry: a comment, another command, a translation, GNOME's
    // switch off and no final newline. Switching changes only the switches.
    const QByteArray edited = "# mine\n[Desktop Entry]\nType=Application\nName=Corvanta\n"
                              "Name[de]=Corvanta\nExec=corvanta --login --verbose\n"
                              "X-GNOME-Autostart-enabled=false\n\n[Desktop Action x]\nName=X";
    ASSERT_TRUE(writeFile(path, edited));
    XdgAutostartEntry entry(path, "/usr/bin/corvanta");
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
