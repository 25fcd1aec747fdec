#include "core/selection/ApplicationScriptsInstaller.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

// Stand-ins for xdotool and xclip that act out a file manager window: the
// active window belongs to FAKE_PID, Ctrl+C puts the uri-list in $STATE/uris
// on the clipboard; the clipboard is Corvanta's to save and restore.
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
out=no target=
while [ $# -gt 0 ]; do
  case "$1" in
  -o) out=yes ;;
  -t) shift; target=$1 ;;
  esac
  shift
done
[ $out = yes ] || exit 1
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

const QByteArray hostileList = "# copied by the file manager\r\n"
                               "file:///home/ann/My%20Folder/caf%E9.bin\r\n"
                               "file:///home/ann/line%0Abreak.txt\r\n"
                               "file://localhost/home/ann/%23%20%2520%3F.md\r\n"
                               "sftp://server/home/ann/remote.txt\r\n"
                               "file:///home/ann/delta-%C3%BC.txt";

} // namespace

TEST(SelectionHelperProgram, PrintsTheCopiedFilesByteForByte) {
    FakeDesktop desktop;
    desktop.startFileManager(QStringLiteral("thunar"));
    desktop.selectURIs(hostileList);
    const HelperRun run =
        desktop.run(QStringLiteral("GetThunarSelection"), {QStringLiteral("--print0")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QByteArray expected;
    for (const char* path : {"/home/ann/My Folder/caf\xe9.bin", "/home/ann/line\nbreak.txt",
                             "/home/ann/# %20?.md", "/home/ann/delta-\xc3\xbc.txt"})
        expected += QByteArray(path) + '\0';
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(desktop.keys(), "key --clearmodifiers ctrl+c\n");

    // A name Dolphin mangled is left out, the rest still arrive.
    FakeDesktop dolphin;
    dolphin.startFileManager(QStringLiteral("dolphin"));
    dolphin.selectURIs("file:///home/caf%EF%BF%BD.bin\r\nfile:///home/ok.txt\r\n");
    const HelperRun mangled =
        dolphin.run(QStringLiteral("GetDolphinSelection"), {QStringLiteral("--print0")});
    EXPECT_EQ(mangled.exitCode, 0);
    EXPECT_EQ(mangled.output, QByteArray("/home/ok.txt\0", 13));
    EXPECT_TRUE(mangled.errors.contains("not UTF-8")) << mangled.errors.toStdString();
}

TEST(SelectionHelperProgram, RefusesWhatItCannotGiveExactly) {
    // The file manager's program, the helper asked, the copied list, its option.
    struct Case {
        const char *name, *program, *helper;
        QByteArray selection;
        const char* option;
        bool display;
        QByteArray message;
    };
    const QList<Case> cases{
        {"no X11 session", "thunar", "Thunar", "file:///a", "--print0", false,
         "needs an X11 session"},
        {"another program is active", "gedit", "Thunar", "file:///a", "--print0", true,
         "the active window is not Thunar"},
        {"line break without --print0", "nautilus", "Nautilus", "file:///a%0Ab", nullptr, true,
         "--print0"},
        {"an unknown option", "caja", "Caja", "file:///a", "--all", true, "usage:"},
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
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.errors.contains(test.message)) << run.errors.toStdString();
        EXPECT_FALSE(run.output.contains("/a\n")) << run.output.toStdString();
    }
}
