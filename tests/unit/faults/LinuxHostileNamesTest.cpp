// `corvanta open` with hostile file names, for real, for the two ways of
// reaching an editor besides handing it the files (which the end-to-end tests
// cover): its folder, and its URL template. The routes file picks the recorder
// as the editor, GIO launches it, and the recorder writes down the arguments it
// received. Runs without a display, so the command routes in its own process.
#include "core/model/RoutesFileCodec.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/unit/faults/ProcessRunner.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
const QString editorID = QStringLiteral("test.MarkdownEditor");

// Relative names (they are passed as they stand, so a leading dash reaches the
// command line) for files in the sandbox's files folder.
const QList<QByteArray>& names() {
    static const QList<QByteArray> list{
        "-rf.md",          "--help.md",         "with space.md",    "quote's \"double\".md",
        "new\nline.md",    "$(touch pwned).md", "`touch pwned`.md", "100% %41.md",
        "a&b=c+d;e#f?.md", "caf\xe9 \xff.md",   "tab\there.md",
    };
    return list;
}

QByteArray filesFolder() {
    return QFile::encodeName(LinuxSandbox::current().filesFolder()) + "/hostile";
}

class LinuxHostileNames : public ::testing::Test {
protected:
    void SetUp() override {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        QFile::remove(sandbox.recordFile());
        QDir(QFile::decodeName(filesFolder())).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(filesFolder())));
        for (const QByteArray& name : names()) {
            const QByteArray path = filesFolder() + '/' + name;
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0) << path.constData();
            ::close(fd);
        }
        ASSERT_TRUE(installURLRecorder());
    }
    void TearDown() override {
        QFile::remove(routesFile());
        QFile::remove(LinuxSandbox::current().recordFile());
    }

    static QString routesFile() {
        return LinuxSandbox::current().configHome() + QStringLiteral("/Corvanta/routes.json");
    }

    // A handler of x-recorder: links, so that template mode is observed too.
    static bool installURLRecorder() {
        LinuxSandbox& sandbox = LinuxSandbox::current();
        const QString entry =
            sandbox.applicationsFolder() + QStringLiteral("/test.UrlRecorder.desktop");
        if (QFile::exists(entry))
            return true;
        const QString program = sandbox.programPath(QStringLiteral("recorder-urls"));
        if (!QFile::copy(QStringLiteral(CORVANTA_RECORDER_PATH), program))
            return false;
        QFile file(entry);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("[Desktop Entry]\nType=Application\nName=URL Recorder\nNoDisplay=true\n"
                   "Exec=recorder-urls %u\nMimeType=x-scheme-handler/x-recorder;\n");
        file.close();
        QProcess update;
        update.start(QStringLiteral("update-desktop-database"), {sandbox.applicationsFolder()});
        return update.waitForFinished(30000) && update.exitCode() == 0;
    }

    // The Markdown route with the recorder as its only enabled editor.
    static void writeRoutes(bool opensFolder, const std::optional<QString>& urlTemplate) {
        Route markdown;
        markdown.id = QStringLiteral("markdown");
        markdown.name = QStringLiteral("Markdown");
        markdown.extensions = {QStringLiteral("md")};
        Editor editor;
        editor.bundleID = editorID;
        editor.name = QStringLiteral("Markdown Editor");
        editor.opensFolder = opensFolder;
        editor.urlSchemeTemplate = urlTemplate;
        markdown.editors = {editor};
        markdown.activeBundleID = editorID;
        markdown.normalizeUtilities();
        RouteStoreState state;
        state.routes = {markdown};
        QDir().mkpath(QFileInfo(routesFile()).absolutePath());
        QFile file(routesFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(RoutesFileCodec::encode(state));
    }

    // Runs `corvanta open NAME...` in the files folder without a display.
    static void openAll() {
        QList<QByteArray> arguments{"open"};
        arguments.append(names());
        ProcessRunner::Options options;
        options.workingFolder = filesFolder();
        options.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        const pid_t pid =
            ProcessRunner::start(QByteArrayLiteral(CORVANTA_PATH), arguments, options);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(ProcessRunner::waitFor(pid, 60000), std::optional(0));
    }

    // Waits until the recorder has written `count` records.
    static QList<QList<QByteArray>> waitForRecords(qsizetype count) {
        QDeadlineTimer deadline(20000);
        QList<QList<QByteArray>> records;
        while (!deadline.hasExpired()) {
            records = LinuxSandbox::current().records();
            if (records.size() >= count)
                break;
            QThread::msleep(20);
        }
        QThread::msleep(100); // anything beyond `count` would show up now
        return LinuxSandbox::current().records();
    }
};

TEST_F(LinuxHostileNames, FolderModeGetsTheFolderOncePerFile) {
    writeRoutes(true, std::nullopt);
    openAll();
    const auto records = waitForRecords(1);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(), QList<QByteArray>(names().size(), filesFolder()));
}

TEST_F(LinuxHostileNames, TemplateModeGetsOneEncodedLinkPerFile) {
    writeRoutes(false, QStringLiteral("x-recorder://open?path={filepath.urlencoded}"));
    openAll();
    const auto records = waitForRecords(names().size());
    ASSERT_EQ(records.size(), names().size());
    QList<QByteArray> received;
    for (const QList<QByteArray>& record : records) {
        ASSERT_EQ(record.size(), 1) << "the link is a single argument";
        const QByteArray& link = record.first();
        ASSERT_TRUE(link.startsWith("x-recorder://open?path=")) << link.constData();
        for (const char c : link)
            EXPECT_TRUE(c > 0x20 && c < 0x7f) << link.constData();
        received.append(QByteArray::fromPercentEncoding(link.mid(link.indexOf('=') + 1)));
    }
    // Each file opens through its own launch, so they may arrive in any order.
    QList<QByteArray> expected;
    for (const QByteArray& name : names())
        expected.append(filesFolder() + '/' + name);
    std::sort(received.begin(), received.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(received, expected);
}
TEST_F(LinuxHostileNames, NamesThatLookLikeQtOptionsAreFilesToo) {
    // "-platform x.md" would make Qt look for a platform plugin called "x.md"
    // and end the program; with a display this is the tray instance starting.
    writeRoutes(false, std::nullopt);
    const QByteArray folder = filesFolder() + "/dashes";
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folder)));
    for (const char* name : {"-platform", "x.md"}) {
        QFile file(QFile::decodeName(folder + '/' + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ProcessRunner::Options options;
    options.workingFolder = folder;
    options.set = {"QT_QPA_PLATFORM=offscreen"};
    options.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
    const pid_t pid = ProcessRunner::start(QByteArrayLiteral(CORVANTA_PATH),
                                           {"open", "-platform", "x.md"}, options);
    ASSERT_GT(pid, 0);
    const auto records = waitForRecords(1);
    // The file without an extension waits for the teaching dialog meanwhile.
    const bool alive = ProcessRunner::isRunning(pid);
    ::kill(pid, SIGKILL);
    ProcessRunner::waitFor(pid, 10000);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(), QList<QByteArray>{folder + "/x.md"});
    EXPECT_TRUE(alive);
}
} // namespace
