#include "platform/linux/DesktopEntryProgram.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
TEST(DesktopEntryProgram, FindsTheProgramWordOfAnExecLine) {
    const std::pair<QStringList, std::optional<QString>> cases[] = {
        {{"gedit", "%U"}, QStringLiteral("gedit")},
        {{"/usr/bin/code", "--new-window", "%F"}, QStringLiteral("/usr/bin/code")},
        {{"env", "GDK_BACKEND=x11", "LANG=C", "typora", "%U"}, QStringLiteral("typora")},
        {{"/usr/bin/env", "-u", "FOO", "BAR=1", "kate"}, QStringLiteral("kate")},
        {{"env", "-S", "kate --new"}, std::nullopt},
        {{"env", "-i", "A=1", "kate", "%F"}, QStringLiteral("kate")},
        {{"env", "A=1"}, std::nullopt},
        {{"flatpak", "run", "org.gnome.TextEditor", "%U"}, std::nullopt},
        {{"sh", "-c", "exec foo \"$@\"", "sh", "%F"}, std::nullopt},
        {{"bash", "/opt/tool/start.sh"}, QStringLiteral("bash")},
        {{"%F"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(DesktopEntryProgram::programFromArguments(arguments), expected)
            << qPrintable(arguments.join(QLatin1Char(' ')));
}

TEST(DesktopEntryProgram, ResolvesNamesInThePathToCanonicalExecutables) {
    const LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString program = sandbox.programPath(QStringLiteral("recorder-editor"));
    const QString link = sandbox.binFolder() + QStringLiteral("/editor-link");
    QFile::link(program, link);
    const QString path = sandbox.binFolder() + QStringLiteral(":/nonexistent");

    EXPECT_EQ(DesktopEntryProgram::resolveProgram(QStringLiteral("recorder-editor"), path),
              program);
    // The kernel reports a process's executable with links resolved.
    EXPECT_EQ(DesktopEntryProgram::resolveProgram(QStringLiteral("editor-link"), path), program);
    EXPECT_EQ(DesktopEntryProgram::resolveProgram(link, path), program);
    EXPECT_EQ(DesktopEntryProgram::resolveProgram(QStringLiteral("no-such-program"), path),
              std::nullopt);
    EXPECT_EQ(DesktopEntryProgram::resolveProgram(QStringLiteral("bin/recorder-editor"), path),
              std::nullopt);
    // A file that is not executable is no program.
    EXPECT_EQ(DesktopEntryProgram::resolveProgram(
                  sandbox.applicationsFolder() + QStringLiteral("/test.Browser.desktop"), path),
              std::nullopt);
}
} // namespace
