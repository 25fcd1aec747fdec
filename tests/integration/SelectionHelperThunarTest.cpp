// The Thunar selection helper against a real Thunar on a real X server (run
// under xvfb-run and dbus-run-session): what a hotkey would read from it.

#include "core/model/LocalFileURL.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/SelectionScriptRunner.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "platform/linux/X11ClipboardSelection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Runs a short command and returns its standard output (empty after 15 s).
QByteArray output(const QString& program, const QStringList& arguments,
                  const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.readAllStandardOutput();
}

class ThunarDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"thunar", "openbox", "xdotool", "xclip"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (xvfb-run)";
        const QString home = m_root.filePath(QStringLiteral("home"));
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
        m_windowManager.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(m_windowManager.waitForStarted());
        QThread::msleep(500);
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folder)));
        ASSERT_TRUE(ApplicationScriptsInstaller::install(scripts));
    }
    void TearDown() override {
        for (QProcess* process : {&m_fileManager, &m_windowManager}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    // Shows the files folder in Thunar, makes its window the active one and selects everything.
    void showAndSelectAll() {
        m_fileManager.start("thunar", {QFile::decodeName(folder)});
        ASSERT_TRUE(m_fileManager.waitForStarted());
        QByteArray window;
        for (int attempt = 0; attempt < 100 && window.isEmpty(); ++attempt) {
            window = output("xdotool", {"search", "--onlyvisible", "--class", "Thunar"})
                         .split('\n')
                         .first()
                         .trimmed();
            if (window.isEmpty())
                QThread::msleep(100);
        }
        ASSERT_FALSE(window.isEmpty()) << "Thunar showed no window";
        output("xdotool", {"windowactivate", "--sync", QString::fromLatin1(window)});
        QThread::msleep(300);
        output("xdotool", {"key", "ctrl+a"});
        QThread::msleep(300);
    }

    QTemporaryDir m_root;
    QProcess m_windowManager;
    QProcess m_fileManager;
    QByteArray folder = QFile::encodeName(m_root.filePath(QStringLiteral("files")));
    QString scripts = m_root.filePath(QStringLiteral("Application Scripts"));
};

} // namespace

TEST_F(ThunarDesktop, HelperGivesTheSelectedFilesByteForByte) {
    const QList<QByteArray> names{"plain.txt", "two words.md", "caf\xe9.bin", "line\nbreak.txt",
                                  "#hash %20 ?.txt"};
    QList<QByteArray> expected;
    for (const QByteArray& name : names) {
        // Created from the bytes: a QString would turn \xe9 into U+FFFD.
        const QByteArray path = folder + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0) << name.toStdString();
        ::close(fd);
        expected.append(path);
    }
    QProcess seed;
    seed.start(QStringLiteral(CLIPBOARD_SEED_PATH), {"the user's own text", "second format"});
    ASSERT_TRUE(seed.waitForReadyRead(15000));
    // A helper that hangs is killed at its time-out; the clipboard comes back all the same.
    QFile hanging(scripts + QStringLiteral("/GetHangingSelection"));
    ASSERT_TRUE(hanging.open(QIODevice::WriteOnly) && hanging.write("#!/bin/sh\nsleep 30\n") > 0);
    hanging.close();
    hanging.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    showAndSelectAll();
    std::sort(expected.begin(), expected.end());
    SpawnProcessRunner processes;
    X11ClipboardSelection clipboard;
    for (const auto& [helper, found] : {std::pair{"GetThunarSelection", expected},
                                        std::pair{"GetHangingSelection", QList<QByteArray>()}}) {
        SCOPED_TRACE(helper);
        const QList<QUrl> urls = clipboard.aroundHelper([&] {
            return SelectionScriptRunner(processes)
                .run(QString::fromLatin1(helper), scripts, 1.5)
                .urls;
        });
        QList<QByteArray> selected;
        for (const QUrl& url : urls)
            selected.append(LocalFileURL::nativePath(url));
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, found);
        for (const auto& [target, text] :
             {std::pair{"text/plain", "the user's own text"},
              std::pair{"application/x-corvanta-test", "second format"}}) {
            QProcess xclip;
            xclip.start("xclip", {"-o", "-selection", "clipboard", "-t", target});
            for (int round = 0; round < 500 && !xclip.waitForFinished(0); ++round)
                clipboard.serveClipboard(QDeadlineTimer(10));
            EXPECT_EQ(xclip.readAllStandardOutput(), text);
        }
    }
    seed.kill();
    seed.waitForFinished();
}

TEST_F(ThunarDesktop, HelperOfAnotherFileManagerRefuses) {
    ::close(::open((folder + "/a.txt").constData(), O_WRONLY | O_CREAT, 0644));
    showAndSelectAll();
    SpawnProcessRunner processes;
    EXPECT_EQ(SelectionScriptRunner(processes).run(QStringLiteral("GetNautilusSelection"), scripts,
                                                   SelectionScriptRunner::statusTimeout),
              SelectionScriptRunner::Outcome::failed());
}
