#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "core/utilities/ExternalUtilityRunner.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Names a file manager may hand over; each must arrive as one argument, unchanged.
const QList<QByteArray> hostileNames = {
    "two words.txt",         "it's \"quoted\".txt",     "$(touch pwned).txt",
    "-leading-dash.txt",     "`touch pwned`;|&.txt",    "\xff\xfe not utf-8.txt",
    "'; touch pwned; '.txt", "\"; touch pwned; \".txt", "new\nline; touch pwned.txt",
};

class UtilityRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        QFile::remove(sandbox.recordFile());
        const QByteArray folder = QFile::encodeName(sandbox.filesFolder()) + "/hostile";
        QDir().mkpath(QFile::decodeName(folder));
        for (const QByteArray& name : hostileNames) {
            const QByteArray path = folder + '/' + name;
            // QFile cannot name the non-UTF-8 file; the C library can.
            if (FILE* raw = std::fopen(path.constData(), "wb"))
                std::fclose(raw);
            paths.append(path);
            files.append(LocalFileURL::fromNativePath(path));
        }
        recorder = sandbox.programPath("recorder-editor");
    }
    void copyRecorder(const QString& to) {
        QDir().mkpath(QFileInfo(to).absolutePath());
        ASSERT_TRUE(QFile::copy(recorder, to));
    }
    SpawnProcessRunner processes;
    QList<QByteArray> paths;
    QList<QUrl> files;
    QString recorder;
};

// Every hostile name against action lines of each dialect: the line runs as
// its file manager runs it (the record says what started) or is refused (which
// lines are is ActionCommandLine's table). A Nautilus script and one of the
// user's scripts get the names as arguments.
TEST_F(UtilityRunsTest, HostileNamesNeverRunAsCodeInAnyDialectsLine) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    const QByteArray rec = QFile::encodeName(recorder);
    const QString uca = sandbox.configHome() + "/Thunar/uca.xml";
    const QString kde = sandbox.dataHome() + "/kio/servicemenus/lines.desktop";
    const QString nemo = sandbox.dataHome() + "/nemo/actions/";
    const QByteArray folder = paths.first().left(paths.first().lastIndexOf('/'));
    const std::optional<QList<QByteArray>> refused;
    const struct {
        char dialect; // t: Thunar, k: KDE, n: Nemo, a: Nautilus script, s: script
        QByteArray line;
        std::optional<QList<QByteArray>> record;
    } cases[] = {
        {'t', rec + " plain %F", QList<QByteArray>{"plain"} + paths},
        {'t', "sh -c '" + rec + " \"$@\"' sh shell %F", QList<QByteArray>{"shell"} + paths},
        {'t', rec + " redirect %F > /dev/null 2>&amp;1", QList<QByteArray>{"redirect"} + paths},
        {'t', "echo x | " + rec + " pipe %f", {{"pipe", paths.first()}}},
        {'k', rec + " plain %F", QList<QByteArray>{"plain"} + paths},
        {'k', "sh -c '" + rec + " \"$@\"' sh shell %F", QList<QByteArray>{"shell"} + paths},
        {'k', rec + " redirect %F > /dev/null", QList<QByteArray>{"redirect"} + paths},
        {'k', "true | " + rec + " pipe %F", QList<QByteArray>{"pipe"} + paths},
        {'n', rec + " plain %F", QList<QByteArray>{"plain"} + paths},
        {'n', rec + " -d\"%P\" %f", {{"-d" + folder, paths.first().mid(folder.size() + 1)}}},
        // Nemo hands "|" and "cat" to the program as words: no shell.
        {'n', rec + " pipe %F | cat",
         QList<QByteArray>{"pipe"} + paths + QList<QByteArray>{"|", "cat"}},
        {'n', "sh -c \"" + rec + " %F\"", refused},
        {'a', {}, paths},
        {'s', {}, paths},
    };
    ExternalUtilityRunner runner(processes, ExternalUtilityRunner::Folders::fromEnvironment());
    QList<QList<QByteArray>> expected;
    int index = 0;
    for (const auto& c : cases) {
        const QString name = QString::number(index++);
        QString id;
        if (c.dialect == 't') {
            writeFile(uca, "<actions><action><name>" + name.toUtf8() + "</name><command>" + c.line +
                               "</command><other-files/></action></actions>");
            id = uca;
        } else if (c.dialect == 'k') {
            writeFile(kde,
                      "[Desktop Entry]\n[Desktop Action a]\nName=" + name.toUtf8() +
                          "\nExec=" + c.line + "\n",
                      true);
            id = kde;
        } else if (c.dialect == 'a') {
            id = sandbox.dataHome() + "/nautilus/scripts/Record";
            copyRecorder(id);
        } else if (c.dialect == 's') {
            id = "Tools/Record Me";
            copyRecorder(sandbox.dataHome() + "/Corvanta/Scripts/" + id);
        } else {
            id = nemo + name + ".nemo_action";
            writeFile(id, "[Nemo Action]\nName=" + name.toUtf8() + "\nExec=" + c.line + "\n");
        }
        const auto message = c.dialect == 's' ? runner.runScript(id, name, files, false)
                                              : runner.runService(id, name, files);
        EXPECT_EQ(message.has_value(), !c.record) << c.line.constData();
        if (c.record)
            expected.append(*c.record);
        else
            EXPECT_TRUE(message && message->endsWith(": a file name could run as a command."));
    }
    QList<QList<QByteArray>> records = SandboxHelpers::records(expected.size());
    std::sort(records.begin(), records.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
    // No name ran as code: none of them made the marker, wherever it ran.
    EXPECT_FALSE(QFile::exists(sandbox.filesFolder() + "/hostile/pwned"));
    EXPECT_FALSE(QFile::exists("pwned"));
}

// GLib's expansion of a desktop entry line (each value shell-quoted where it
// lands, the line then split by g_shell_parse_argv) is the reference for lines
// without shell syntax or quoted codes.
TEST_F(UtilityRunsTest, DesktopEntryLinesSplitAsGLibSplitsThem) {
    QList<QByteArray> quoted;
    for (const QByteArray& path : paths)
        quoted.append(GCharPtr(g_shell_quote(path.constData())).get());
    for (const QByteArray line : {"edit %F", "edit --x %f", "'/opt/my editor' \"a \\\" b\" %F",
                                  "edit a\\ b --name=%f %F"}) {
        gchar** argv = nullptr;
        ASSERT_TRUE(g_shell_parse_argv(
            QByteArray(line).replace("%F", quoted.join(' ')).replace("%f", quoted.first()), nullptr,
            &argv, nullptr));
        GStrvPtr owned(argv);
        // The first run: a line with %f alone runs once per file.
        const auto plan = ActionCommandLine::plan(ExecCommandLine::Dialect::desktopEntry,
                                                  QString::fromUtf8(line), {files, {}, {}, {}});
        EXPECT_EQ(plan.runs.value(0), QList<QByteArray>(argv, argv + g_strv_length(argv)))
            << line.constData();
    }
}

} // namespace
