#include "core/selection/ApplicationScriptsInstaller.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

// Stand-ins for xdotool and xclip that act out a file manager window: the
// active window belongs to FAKE_PID, Ctrl+C puts the uri-list in $STATE/uris
// on the clipboard, which xclip reads back (the target is its last argument).
constexpr char fakeXdotool[] = R"(#!/bin/sh
case "$1" in
getactivewindow) echo 4194311 ;;
getwindowpid) echo "$FAKE_PID" ;;
key)
  echo "$*" >> "$STATE/keys"
  cp "$STATE/selection" "$STATE/uris"
  ;;
*) exit 1 ;;
esac
)";

constexpr char fakeXclip[] = R"(#!/bin/sh
for target; do :; done
case "$target" in
TARGETS) [ -f "$STATE/uris" ] && printf 'TARGETS\ntext/uri-list\n' ;;
text/uri-list) cat "$STATE/uris" ;;
esac
)";

struct HelperRun {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

class FakeDesktop {
public:
    FakeDesktop() {
        writeFile(m_dir.filePath(QStringLiteral("bin/xdotool")), fakeXdotool, true);
        writeFile(m_dir.filePath(QStringLiteral("bin/xclip")), fakeXclip, true);
        QDir().mkpath(m_dir.filePath(QStringLiteral("state")));
        m_scripts = m_dir.filePath(QStringLiteral("Application Scripts"));
        EXPECT_TRUE(ApplicationScriptsInstaller::install(m_scripts));
    }
    ~FakeDesktop() {
        if (m_fileManager.state() != QProcess::NotRunning) {
            m_fileManager.kill();
            m_fileManager.waitForFinished();
        }
    }

    // A process whose executable is named `program` plays the file manager.
    void startFileManager(const QString& program) {
        const QString copy = m_dir.filePath(program);
        QFile::copy(QStringLiteral("/bin/sleep"), copy);
        m_fileManager.start(copy, {QStringLiteral("60")});
        ASSERT_TRUE(m_fileManager.waitForStarted());
    }
    QByteArray keys() const { return readFile(state("keys")); }
    void selectURIs(const QByteArray& uriList) { writeFile(state("selection"), uriList); }

    HelperRun run(const QString& scriptFileName, const QStringList& arguments,
                  bool display = true) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"),
                   m_dir.filePath(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
        env.insert(QStringLiteral("STATE"), m_dir.filePath(QStringLiteral("state")));
        env.insert(QStringLiteral("FAKE_PID"), QString::number(m_fileManager.processId()));
        env.remove(QStringLiteral("DISPLAY"));
        if (display)
            env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":99"));
        QProcess helper;
        helper.setProcessEnvironment(env);
        helper.start(QDir(m_scripts).filePath(scriptFileName), arguments);
        EXPECT_TRUE(helper.waitForFinished(10000));
        return {helper.exitCode(), helper.readAllStandardOutput(), helper.readAllStandardError()};
    }

private:
    QString state(const char* name) const { return m_dir.filePath("state/" + QLatin1String(name)); }

    QTemporaryDir m_dir;
    QString m_scripts;
    QProcess m_fileManager;
};

} // namespace

// The file manager's program, the helper asked, the copied list, its option.
TEST(SelectionHelperProgram, PrintsTheCopiedFilesByteForByteOrRefuses) {
    const QByteArray copied = "# copied by the file manager\r\n"
                              "file:///home/ann/My%20Folder/caf%E9.bin\r\n"
                              "file:///home/ann/line%0Abreak.txt\r\n"
                              "file://localhost/home/ann/%23%20%2520%3F.md\r\n"
                              "sftp://server/home/ann/remote.txt\r\n"
                              "file:///home/ann/real%EF%BF%BD.txt\r\n"
                              "file:///home/ann/delta-%C3%BC.txt";
    static const char printed[] = "/home/ann/My Folder/caf\xe9.bin\0/home/ann/line\nbreak.txt\0"
                                  "/home/ann/# %20?.md\0/home/ann/real\xef\xbf\xbd.txt\0"
                                  "/home/ann/delta-\xc3\xbc.txt";
    const QByteArray ctrlC = "key --clearmodifiers ctrl+c\n";
    struct Case {
        const char *name, *program, *helper;
        QByteArray selection;
        const char* option;
        bool display;
        QByteArray output, message, keys; // no message: it succeeds
    };
    const QList<Case> cases{
        {"hostile names", "thunar", "Thunar", copied, "--print0", true,
         QByteArray(printed, sizeof printed), "", ctrlC},
        // Only Dolphin turns an undecodable name into U+FFFD: that one is left out.
        {"a name Dolphin mangled", "dolphin", "Dolphin",
         "file:///home/caf%EF%BF%BD.bin\r\nfile:///home/ok.txt\r\n", "--print0", true,
         QByteArray("/home/ok.txt\0", 13), "not UTF-8", ctrlC},
        {"no X11 session", "thunar", "Thunar", "file:///a", "--print0", false, "",
         "needs an X11 session", ""},
        // Never a key for a program that is not the file manager.
        {"another program is active", "gedit", "Thunar", "file:///a", "--print0", true, "",
         "the active window is not Thunar\n", ""},
        {"line break without --print0", "nautilus", "Nautilus", "file:///a%0Ab", nullptr, true, "",
         "--print0", ctrlC},
        {"an unknown option", "caja", "Caja", "file:///a", "--all", true, "", "usage:", ""},
        {"the second program of a file manager", "caja-browser", "Caja", "file:///a", "--print0",
         true, QByteArray("/a\0", 3), "", ctrlC},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        FakeDesktop desktop;
        desktop.startFileManager(QString::fromLatin1(test.program));
        desktop.selectURIs(test.selection);
        const HelperRun run =
            desktop.run(QStringLiteral("Get%1Selection").arg(QLatin1String(test.helper)),
                        test.option ? QStringList{QString::fromLatin1(test.option)} : QStringList(),
                        test.display);
        EXPECT_EQ(run.exitCode == 0, test.output.size() > 0) << run.errors.toStdString();
        EXPECT_EQ(run.output, test.output);
        EXPECT_TRUE(run.errors.contains(test.message)) << run.errors.toStdString();
        EXPECT_EQ(desktop.keys(), test.keys);
    }
}
