#include "platform/linux/DesktopEntryProgram.h"
#include "platform/linux/GioWorkspace.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {
bool waitUntil(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired())
        QThread::msleep(20);
    return condition();
}

// The editor's entry names its program in PATH, the viewer's an absolute path
// behind env; the script runs in its interpreter.
TEST(ProcRunningApplications, SeesProgramsStartedFromTheirEntriesUntilTheyExit) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const ProcRunningApplications running;
    const QSet<QString> started = {"test.MarkdownEditor", "test.TextViewer", "test.Script"};
    ASSERT_FALSE(running.runningBundleIDs().intersects(started));

    const QString stopFile = sandbox.root() + "/stop-running";
    QFile::remove(stopFile);
    qputenv("CORVANTA_RECORDER_STAY", QFile::encodeName(stopFile));
    for (const QString& id : started) {
        std::optional<QString> error = "never reported";
        GioWorkspace().openURLs({QUrl::fromLocalFile(sandbox.filesFolder() + "/a.md")},
                                sandbox.applicationsFolder() + '/' + id + ".desktop",
                                [&](const std::optional<QString>& reported) { error = reported; });
        EXPECT_EQ(error, std::nullopt) << qPrintable(id);
    }
    qunsetenv("CORVANTA_RECORDER_STAY");
    EXPECT_TRUE(waitUntil([&] { return running.runningBundleIDs().contains(started); }))
        << qPrintable(running.runningBundleIDs().values().join(' '));

    QFile(stopFile).open(QIODevice::WriteOnly);
    EXPECT_TRUE(waitUntil([&] { return !running.runningBundleIDs().intersects(started); }));
}

// A launcher whose real program cannot be seen would make every app it starts "running".
TEST(DesktopEntryProgram, FindsTheProgramOnlyWhereTheExecLineShowsIt) {
    const std::pair<QStringList, std::optional<QString>> cases[] = {
        {{"/usr/bin/env", "-u", "FOO", "BAR=1", "kate", "%F"}, "kate"},
        {{"env", "-S", "kate --new"}, std::nullopt},
        {{"flatpak", "run", "org.gnome.TextEditor", "%U"}, std::nullopt},
        {{"sh", "-c", "exec foo \"$@\"", "sh", "%F"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(DesktopEntryProgram::programFromArguments(arguments), expected)
            << qPrintable(arguments.join(' '));

    // The kernel names a process's executable with links resolved.
    const LinuxSandbox& sandbox = LinuxSandbox::current();
    const QString program = sandbox.programPath("recorder-editor");
    QFile::link(program, sandbox.programPath("editor-link"));
    const QString path = sandbox.binFolder() + ":/nonexistent";
    for (const auto& [name, expected] :
         {std::pair<QString, std::optional<QString>>{"editor-link", program},
          {"bin/recorder-editor", std::nullopt},
          {sandbox.applicationsFolder() + "/test.Browser.desktop", std::nullopt}}) // not executable
        EXPECT_EQ(DesktopEntryProgram::resolveProgram(name, path), expected) << qPrintable(name);
}
} // namespace
