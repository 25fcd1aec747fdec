#include "platform/linux/DesktopEntryProgram.h"
#include "platform/linux/DesktopProgramIndex.h"
#include "platform/linux/ProcRunningApplications.h"
#include "tests/integration/LinuxSandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {
using SandboxHelpers::waitUntil;

// A launcher whose real program cannot be seen would make every app it starts
// "running"; an interpreter would make every script-started app running. (The
// usual script, interpreter and snap lines run for real below.)
TEST(DesktopEntryProgram, FindsWhatTheExecLineReallyStarts) {
    using Target = DesktopEntryProgram::Target;
    using K = Target::Kind;
    const std::pair<QStringList, std::optional<Target>> cases[] = {
        {{"/usr/bin/env", "-u", "FOO", "BAR=1", "kate", "%F"}, Target{K::program, "kate"}},
        {{"env", "-S", "kate --new"}, std::nullopt},
        {{"perl", "--", "/opt/ed.pl"}, Target{K::script, "/opt/ed.pl"}},
        {{"sh", "-c", "exec foo \"$@\"", "sh", "%F"}, std::nullopt},
        {{"python3", "-m", "editor", "%F"}, std::nullopt},
        {{"bash", "%F"}, std::nullopt},
        {{"flatpak", "run", "--branch=stable", "--command=ed", "org.gnome.TextEditor", "%U"},
         Target{K::flatpak, "org.gnome.TextEditor"}},
        {{"/usr/bin/flatpak", "run", "org.x.App//beta"}, Target{K::flatpak, "org.x.App"}},
        {{"flatpak", "info"}, std::nullopt},
        {{"snap", "run", "code", "--new-window", "%F"}, Target{K::snap, "code"}},
        {{"gtk-launch", "org.gnome.TextEditor"}, std::nullopt},
        {{"%F"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(DesktopEntryProgram::targetFromArguments(arguments), expected)
            << qPrintable(arguments.join(' '));

    const std::pair<QStringList, std::optional<QString>> running[] = {
        {{"bash", "-c", "/opt/x/run.sh"}, std::nullopt},
        {{"bash"}, std::nullopt},
        {{"-bash"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : running)
        EXPECT_EQ(DesktopEntryProgram::scriptOfInterpreter(arguments), expected)
            << qPrintable(arguments.join(' '));

    const std::pair<const char*, std::optional<QString>> snaps[] = {
        {"/snap/bin/code", std::nullopt},
        {"/snap/code", std::nullopt},
        {"/usr/bin/snap", std::nullopt},
    };
    for (const auto& [path, expected] : snaps)
        EXPECT_EQ(DesktopEntryProgram::snapOfExecutable(path), expected) << path;

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
    // A script need not be executable to be run by its interpreter.
    EXPECT_EQ(DesktopEntryProgram::resolveScript(
                  sandbox.applicationsFolder() + "/test.Browser.desktop", path),
              sandbox.applicationsFolder() + "/test.Browser.desktop");
}

class ScriptAndSnapEditors : public ::testing::Test {
protected:
    void SetUp() override {
        const LinuxSandbox& sandbox = LinuxSandbox::current();
        root = sandbox.root();
        stop = root + "/stop-editors";
        QFile::remove(stop);
        // Not executable: the entries run them through their interpreters.
        writeFile(root + "/scripts/shell-editor.sh",
                  "while [ ! -e \"$CORVANTA_RECORDER_STAY\" ]; do sleep 0.02; done\n");
        writeFile(
            root + "/scripts/perl-editor.pl",
            "until (-e $ENV{CORVANTA_RECORDER_STAY}) { select(undef, undef, undef, 0.02); }\n");
        // /snap/bin/NAME links to the snap launcher; the snap's program runs from its folder.
        QDir().mkpath(root + "/snap/bin");
        QDir().mkpath(root + "/snap/cvsnap/7/usr/bin");
        QFile::link("/bin/true", root + "/snap/bin/cvsnap.editor");
        QFile::copy(sandbox.programPath("recorder-editor"), snapProgram());
        const auto entry = [&](const QByteArray& id, const QString& exec) {
            writeFile(sandbox.applicationsFolder() + "/test." + id + ".desktop",
                      "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec.toUtf8() +
                          " %F\n");
        };
        entry("ShellScript", "sh " + root + "/scripts/shell-editor.sh");
        entry("PerlScript", "env LC_ALL=C perl -w " + root + "/scripts/perl-editor.pl");
        entry("SnapEditor", "env BAMF_DESKTOP_FILE_HINT=x " + root + "/snap/bin/cvsnap.editor");
    }
    void TearDown() override {
        QFile(stop).open(QIODevice::WriteOnly);
        for (QProcess* process : processes) {
            process->waitForFinished(5000);
            delete process;
        }
    }
    QString snapProgram() const { return root + "/snap/cvsnap/7/usr/bin/cvsnap-editor"; }
    void start(const QString& program, const QStringList& arguments) {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CORVANTA_RECORDER_STAY", stop);
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        ASSERT_TRUE(process->waitForStarted(5000)) << qPrintable(program);
        processes.append(process);
    }

    QString root, stop;
    QList<QProcess*> processes;
};

// Open shells and interpreters running other code are no editor; the program an
// entry names (in PATH, or behind env), the script it names or runs through its
// interpreter, and a snap's own program, are.
TEST_F(ScriptAndSnapEditors, AreRunningOnlyWhileTheirOwnProcessesRun) {
    const ProcRunningApplications running("/proc", root + "/snap");
    const QSet<QString> editors = {"test.ShellScript", "test.PerlScript",     "test.SnapEditor",
                                   "test.Script",      "test.MarkdownEditor", "test.TextViewer"};
    const QString wait = "while [ ! -e '" + stop + "' ]; do sleep 0.02; done";
    start("sh", {"-c", wait});
    start("sh", {root + "/scripts/other.sh"}); // a script of no entry (missing: sh exits)
    start("perl", {"-e", "until (-e '" + stop + "') { select(undef, undef, undef, 0.02); }"});
    start("/bin/true", {}); // the snap launcher itself
    QThread::msleep(200);
    EXPECT_FALSE(running.runningBundleIDs().intersects(editors))
        << qPrintable(running.runningBundleIDs().values().join(' '));

    start("sh", {root + "/scripts/shell-editor.sh", "a.md"});
    start("env", {"LC_ALL=C", "perl", "-w", root + "/scripts/perl-editor.pl", "a.md"});
    start(snapProgram(), {"a.md"});
    const LinuxSandbox& sandbox = LinuxSandbox::current();
    for (const char* program : {"recorder-script", "recorder-editor", "recorder-viewer"})
        start(sandbox.programPath(program), {"a.md"});
    EXPECT_TRUE(waitUntil([&] { return running.runningBundleIDs().contains(editors); }))
        << qPrintable(running.runningBundleIDs().values().join(' '));

    QFile(stop).open(QIODevice::WriteOnly);
    EXPECT_TRUE(waitUntil([&] { return !running.runningBundleIDs().intersects(editors); }));
}

// The open path asks for running editors often: the entries are read once and
// again only after the applications folders change.
TEST(DesktopProgramIndex, IsRebuiltOnlyWhenTheApplicationsFoldersChange) {
    const LinuxSandbox& sandbox = LinuxSandbox::current();
    DesktopProgramIndex index;
    index.refreshIfStale();
    index.refreshIfStale();
    EXPECT_EQ(index.rebuildCount(), 1);
    const QString program = sandbox.programPath("recorder-late");
    ASSERT_TRUE(QFile::copy(sandbox.programPath("recorder-editor"), program));
    EXPECT_TRUE(index.bundleIDsForProgram(program).isEmpty());

    const QString entry = sandbox.applicationsFolder() + "/test.Late.desktop";
    ASSERT_TRUE(writeFile(entry,
                          "[Desktop Entry]\nType=Application\nName=Late\nExec=recorder-late %F\n"
                          "StartupWMClass=LateWindow\n"));
    // GIO learns of the entry from its folder monitor, through the event loop.
    EXPECT_TRUE(waitUntil([&] {
        index.refreshIfStale();
        return index.bundleIDsForProgram(program) == QStringList{"test.Late"};
    }));
    EXPECT_EQ(index.bundleIDsForStartupWMClass("LateWindow"), QStringList{"test.Late"});
    // Writing the entry may reach the monitor as more than one event: once they
    // have settled, a call without a change does not rebuild.
    const auto settle = [&] {
        waitUntil([] { return false; }, 400);
        index.refreshIfStale();
        return index.rebuildCount();
    };
    EXPECT_EQ(settle(), settle());
    QFile::remove(entry);
}
} // namespace
