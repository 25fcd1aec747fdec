#include "platform/linux/LinuxDesktopSettings.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
using Command = DesktopSettingsCommand;

TEST(LinuxDesktopSettings, AccessibilityPanelOfTheRunningDesktop) {
    const QStringList all{
        "gnome-universal-access-panel", "gnome-accessibility-panel",          "kcm_access",
        "xfce4-accessibility-settings", "cinnamon-settings-universal-access", "mate-at-properties"};
    const struct {
        const char* name;
        QStringList desktops;
        QStringList entries;
        QStringList programs;
        std::optional<Command> command;
    } cases[] = {
        {"GNOME panel entry", {"ubuntu", "GNOME"}, all, {}, Command{all[0], {}}},
        {"GNOME, panel renamed", {"GNOME"}, {all[1]}, {}, Command{all[1], {}}},
        {"GNOME without an entry",
         {"GNOME"},
         {},
         {"gnome-control-center"},
         Command{{}, {"gnome-control-center", "universal-access"}}},
        {"KDE module entry", {"KDE"}, all, {"systemsettings"}, Command{"kcm_access", {}}},
        {"Plasma 5 without an entry",
         {"KDE"},
         {},
         {"systemsettings5"},
         Command{{}, {"systemsettings5", "kcm_access"}}},
        {"Xfce", {"XFCE"}, all, {}, Command{"xfce4-accessibility-settings", {}}},
        {"Cinnamon", {"X-Cinnamon"}, all, {}, Command{"cinnamon-settings-universal-access", {}}},
        {"MATE", {"MATE"}, all, {}, Command{"mate-at-properties", {}}},
        {"KDE with nothing installed", {"KDE"}, {}, {}, std::nullopt},
        {"another desktop's panel is not used", {"XFCE"}, {all[0]}, {}, std::nullopt},
        {"no desktop", {}, all, {"gnome-control-center"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LinuxDesktopSettings::accessibilitySettingsCommand(
                      c.desktops, [&](const QString& id) { return c.entries.contains(id); },
                      [&](const QString& program) { return c.programs.contains(program); }),
                  c.command);
    }
}

// The panel's own entry runs, with its arguments, and not through a shell.
TEST(LinuxDesktopSettings, OpensThePanelEntryOfTheDesktop) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString program = sandbox.programPath(QStringLiteral("fake-control-center"));
    ASSERT_TRUE(QFile::exists(program) ||
                QFile::copy(QStringLiteral(CORVANTA_RECORDER_PATH), program));
    const QString entry =
        sandbox.applicationsFolder() + QStringLiteral("/gnome-universal-access-panel.desktop");
    ASSERT_TRUE(
        writeFile(entry, "[Desktop Entry]\nType=Application\nName=Accessibility\nNoDisplay=true\n"
                         "OnlyShowIn=GNOME;Unity;\nExec=" +
                             QFile::encodeName(program) + " universal-access\n"));
    QFile::remove(sandbox.recordFile());

    LinuxDesktopSettings settings;
    qputenv("XDG_CURRENT_DESKTOP", "LXQt"); // no panel known there
    EXPECT_FALSE(settings.canOpenAccessibilitySettings());
    EXPECT_FALSE(settings.openAccessibilitySettings());
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_TRUE(settings.canOpenAccessibilitySettings());
    EXPECT_TRUE(settings.openAccessibilitySettings());
    EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return !sandbox.records().isEmpty(); }));
    EXPECT_EQ(sandbox.records(), (QList<QList<QByteArray>>{{"universal-access"}}));
    qunsetenv("XDG_CURRENT_DESKTOP");
    QFile::remove(entry);
}
} // namespace
