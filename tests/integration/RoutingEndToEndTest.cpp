// Corvanta as a user meets it: installed into the sandboxed home's prefix,
// started by D-Bus activation or from the command line, handing files to
// recorder programs that stand in for editors, a browser and a URL handler;
// hostile names and racing starts among them.
#include "core/fileactions/ThunarActionsFile.h"
#include "core/history/RoutingHistoryFile.h"
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "platform/linux/LinuxPlatform.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/RuleBuilders.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/inotify.h>
#include <unistd.h>

namespace {
constexpr int waitMs = 20000;
using SandboxHelpers::records;
using SandboxHelpers::sample;
// Set before the sandbox starts the bus, so instances it starts need no screen.
[[maybe_unused]] const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");

using EndToEnd::ok;

// Installs Corvanta into the sandbox's prefix, with the sandbox's browser and
// handler of x-corvanta-test links; an error or none.
QString install() {
    const QString error = EndToEnd::installCorvanta();
    QByteArray output;
    if (error.isEmpty() &&
        (!ok("gio", {"mime", "x-scheme-handler/https", "test.Browser.desktop"}, &output) ||
         !ok("gio", {"mime", "x-scheme-handler/x-corvanta-test", "test.SchemeHandler.desktop"},
             &output)))
        return QStringLiteral("installing failed: ") + QString::fromLocal8Bit(output);
    return error;
}

class RoutingEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installError = install(); }
    void SetUp() override {
        ASSERT_TRUE(installError.isEmpty()) << qPrintable(installError);
        QFile::remove(LinuxSandbox::current().recordFile());
        // Markdown opens in the Markdown Editor, or through a rule that matches no
        // file by itself in the Rule Editor.
        Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                                 {"test.MarkdownEditor", "test.RuleEditor"});
        markdown.rules = {RuleBuilders::rule(RuleBuilders::allOf({RuleBuilders::never}),
                                             RuleBuilders::openIn({"test.RuleEditor"}), true,
                                             QStringLiteral("Notes rule"))};
        EndToEnd::writeSettings({markdown});
    }

    // Corvanta keeps running in the tray; end the instance this test started.
    void TearDown() override { EndToEnd::stopInstance(process); }

    static inline QString installError;
    QProcess process;
};

TEST_F(RoutingEndToEnd, GioOpenAfterClaimingStartsTheInstanceWhichReachesTheEditor) {
    LinuxPlatform linux;
    Platform platform = linux.platform();
    DefaultHandlerClaimer claimer(platform.types, platform.workspace, platform.preferences,
                                  platform.alerts);
    ASSERT_TRUE(claimer.runsFromApplicationBundle());
    claimer.claimDefaultHandler({QStringLiteral("text/markdown")});
    QByteArray output;
    ASSERT_TRUE(ok("gio", {"mime", "text/markdown"}, &output));
    ASSERT_TRUE(output.contains("io.corvanta.Corvanta.desktop")) << output.constData();

    // Started by D-Bus activation; a running instance's Open is wayland_e2e's.
    const QByteArray notes = sample("notes.md");
    ASSERT_TRUE(ok("gio", {"open", QFile::decodeName(notes)}));
    EXPECT_EQ(records(1), QList<QList<QByteArray>>{{notes}});
    EXPECT_TRUE(EndToEnd::trayInstance());
}

// `corvanta open` from the files folder (a URL template's link reaches its
// handler in HostileNamesArriveByteForByteAsOneArgumentInEveryMode).
TEST_F(RoutingEndToEnd, LinkRelativeNameAndWebLinkEachReachTheirProgram) {
    const QByteArray notes = sample("linked-notes.md");
    const QByteArray relative = sample("read me & more.md");
    process.setWorkingDirectory(LinuxSandbox::current().filesFolder());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(EndToEnd::corvanta(),
                  {"open",
                   "x-corvanta://open?rule=Notes%20rule&file=" +
                       QString::fromLatin1(notes.toPercentEncoding("/")),
                   "read me & more.md", "https://example.org/page?q=a%20b#top"});
    ASSERT_TRUE(process.waitForStarted(waitMs));
    QList<QList<QByteArray>> recorded = records(3);
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ(recorded,
              (QList<QList<QByteArray>>{
                  {"--rule", notes}, {relative}, {"https://example.org/page?q=a%20b#top"}}));
}

// The command an installed Thunar action runs, as Thunar builds it: each path
// shell-quoted in place of %F, the line run by /bin/sh.
QStringList thunarCommand(const QString& ucaPath, const QString& uniqueId,
                          const QList<QByteArray>& paths) {
    QList<QUrl> urls;
    for (const QByteArray& path : paths)
        urls.append(LocalFileURL::fromNativePath(path));
    QStringList words;
    // Ours is the file's only action: the reader gives it no key.
    for (const FileManagerAction& action : ThunarActionsFile::read(ucaPath, readFile(ucaPath), {}))
        if (action.key.isEmpty() || action.key == uniqueId)
            for (const QByteArray& word :
                 ActionCommandLine::plan(ExecCommandLine::Dialect::thunar, action.exec.value_or(""),
                                         {urls, {}, {}, {}})
                     .runs.value(0))
                words.append(QFile::decodeName(word));
    return words;
}

TEST_F(RoutingEndToEnd, AnInstalledFileManagerActionSendsHostileNamesAsTheRulesHotkey) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                             {"test.MarkdownEditor", "test.RuleEditor"});
    Rule rule = EndToEnd::hotkeyRule(QStringLiteral("test.RuleEditor"));
    rule.name = QStringLiteral("Send <&> \"it's\"");
    markdown.rules = {rule};
    EndToEnd::writeSettings({markdown}, {rule.hotkeyName(), "Ctrl+Alt+K"});
    const QString uca = sandbox.configHome() + QStringLiteral("/Thunar/uca.xml");
    QFile::remove(uca);

    // Nautilus counts as installed when it is on the PATH.
    const QString nautilus = sandbox.programPath(QStringLiteral("nautilus"));
    ASSERT_TRUE(writeFile(nautilus, "#!/bin/sh\n"));
    QFile::setPermissions(nautilus, QFile::permissions(nautilus) | QFileDevice::ExeOwner);

    const QString corvanta = EndToEnd::corvanta();
    QByteArray output;
    ASSERT_TRUE(ok(corvanta, {"install-actions"}, &output)) << output.constData();
    const QString installed = QString::fromLocal8Bit(output);

    const QList<QByteArray> paths{sample("new\nline.md"), sample("it's \"$(touch pwned)\".md"),
                                  sample("caf\xc3\xa9 %F.md"), sample("--help.md")};
    const QStringList command = thunarCommand(uca, "corvanta-rule-" + rule.id, paths);
    ASSERT_EQ(command.size(), 3) << qPrintable(command.join(u' ') + installed);
    // The launcher, which hands over without loading the full program.
    EXPECT_TRUE(command.at(2).startsWith(u'\'' + corvanta + u'\'')) << qPrintable(command.at(2));
    // No instance runs yet: the action's process becomes it.
    ASSERT_FALSE(LinuxSandbox::corvantaInstancePid());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.first(), command.mid(1));
    ASSERT_TRUE(process.waitForStarted(waitMs));
    const QList<QByteArray> expected = QList<QByteArray>{"--rule"} + paths;
    EXPECT_EQ(records(1), QList<QList<QByteArray>>{expected});
    ASSERT_TRUE(LinuxSandbox::corvantaInstancePid());
    // Now one runs: Nautilus's script, run in the shown folder with the
    // selected names, hands over to it and ends.
    const QDir scripts(sandbox.dataHome() + QStringLiteral("/nautilus/scripts"));
    const QStringList written = scripts.entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1) << qPrintable(installed);
    QStringList names;
    for (const QByteArray& path : paths)
        names << QFileInfo(QFile::decodeName(path)).fileName();
    ASSERT_TRUE(EndToEnd::run(scripts.filePath(written.first()), names, waitMs).ok());
    EXPECT_EQ(records(2), (QList<QList<QByteArray>>{expected, expected}));
    EXPECT_FALSE(QFile::exists(LinuxSandbox::current().filesFolder() + "/pwned"));

    ASSERT_TRUE(ok(corvanta, {"install-actions", "--remove"}, &output)) << output.constData();
    EXPECT_FALSE(QFile::exists(uca));
    EXPECT_TRUE(scripts.entryList(QDir::Files).isEmpty());
    QFile::remove(nautilus);
}
// The faults of unit/faults for real: names and starts that broke routing.
// The Markdown route with the recorder as its only editor.
void writeMarkdownRoute(bool opensFolder = false, std::optional<QString> urlTemplate = {}) {
    Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md", {"test.MarkdownEditor"});
    markdown.editors[0].opensFolder = opensFolder;
    markdown.editors[0].urlSchemeTemplate = urlTemplate;
    EndToEnd::writeSettings({markdown});
}

// Runs `corvanta ARGUMENTS` through a shell in `folder`: a glob passes file
// names as raw bytes, which QProcess's text arguments cannot. With `tray` it
// may start the tray instance (offscreen); without, it routes in its own process.
std::unique_ptr<QProcess> runCorvanta(const QByteArray& folder, const QString& arguments,
                                      bool tray) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (tray)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(QFile::decodeName(folder));
    process->start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), "exec \"$0\" " + arguments, EndToEnd::corvanta()});
    process->waitForStarted();
    return process;
}

// A new, empty folder of test files with the names given.
QByteArray filesFolder(const char* name, const QList<QByteArray>& files) {
    const QByteArray folder = QFile::encodeName(LinuxSandbox::current().filesFolder()) + '/' + name;
    QDir(QFile::decodeName(folder)).removeRecursively();
    QDir().mkpath(QFile::decodeName(folder));
    for (const QByteArray& file : files)
        ::close(::open((folder + '/' + file).constData(), O_CREAT | O_WRONLY, 0644));
    return folder;
}

// The records once there are `count`, and a moment later, so that extra ones show.
QList<QList<QByteArray>> waitForRecords(qsizetype count) {
    SandboxHelpers::records(count, 20000);
    QThread::msleep(100);
    return LinuxSandbox::current().records();
}

TEST_F(RoutingEndToEnd, HostileNamesArriveByteForByteAsOneArgumentInEveryMode) {
    const QList<QByteArray> names{"-rf.md",           "--help.md",      "with space.md",
                                  "quote's \"x\".md", "new\nline.md",   "$(touch pwned).md",
                                  "`touch pwned`.md", "100% %41.md",    "a&b=c+d;e#f?.md",
                                  "tab\there.md",     "caf\xe9 \xff.md"};
    const QByteArray folder = filesFolder("hostile", names);
    QList<QByteArray> paths;
    for (const QByteArray& name : names)
        paths.append(folder + '/' + name);
    std::sort(paths.begin(), paths.end());
    struct Mode {
        const char* name;
        bool opensFolder;
        std::optional<QString> urlTemplate;
        qsizetype launches;
    };
    // The sandbox's URL handler records the links.
    const Mode modes[] = {
        {"application", false, std::nullopt, 1},
        {"folder", true, std::nullopt, 1},
        {"template", false, QStringLiteral("x-corvanta-test://open?file={filepath.urlencoded}"),
         names.size()},
    };
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        QFile::remove(LinuxSandbox::current().recordFile());
        writeMarkdownRoute(mode.opensFolder, mode.urlTemplate);
        const auto process = runCorvanta(folder, QStringLiteral("open *"), false);
        EXPECT_TRUE(process->waitForFinished(60000) && process->exitCode() == 0);
        const QList<QList<QByteArray>> records = waitForRecords(mode.launches);
        ASSERT_EQ(records.size(), mode.launches);
        QList<QByteArray> received;
        for (const QList<QByteArray>& record : records) {
            if (!mode.urlTemplate) {
                received.append(record);
                continue;
            }
            ASSERT_EQ(record.size(), 2) << "the link is a single argument";
            for (const char c : record[1])
                EXPECT_TRUE(c > 0x20 && c < 0x7f) << record[1].constData();
            received.append(
                QByteArray::fromPercentEncoding(record[1].mid(record[1].indexOf('=') + 1)));
        }
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, mode.opensFolder ? QList<QByteArray>(names.size(), folder) : paths);
    }
    EXPECT_FALSE(QFile::exists(QFile::decodeName(folder) + QStringLiteral("/pwned")));
}

TEST_F(RoutingEndToEnd, NamesThatLookLikeQtOptionsAreFilesToo) {
    // "-platform x.md" made Qt look for a platform plugin called "x.md" and end
    // the program; with a display this is the tray instance starting.
    QFile::remove(LinuxSandbox::current().recordFile());
    writeMarkdownRoute();
    const QByteArray folder = filesFolder("dashes", {"-platform", "x.md"});
    const auto process = runCorvanta(folder, QStringLiteral("open -platform x.md"), true);
    const auto records = waitForRecords(1);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(), QList<QByteArray>{folder + "/x.md"});
    // The file without an extension waits for the teaching dialog meanwhile.
    EXPECT_FALSE(process->waitForFinished(10));
    process->kill();
    process->waitForFinished();
}

// How often routes.json was put in place in the watched folder since the last call.
int routesWrites(int inotify) {
    int writes = 0;
    alignas(struct inotify_event) char buffer[16384];
    for (ssize_t length; (length = ::read(inotify, buffer, sizeof buffer)) > 0;) {
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
            writes += event->len > 0 && qstrcmp(event->name, "routes.json") == 0;
            offset += ssize_t(sizeof(struct inotify_event) + event->len);
        }
    }
    return writes;
}

TEST_F(RoutingEndToEnd, TwoStartsAtOnceMakeOneInstanceAndLoseNoFile) {
    writeMarkdownRoute();
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(inotify,
                                  QFile::encodeName(QFileInfo(SandboxHelpers::routesFile()).path()),
                                  IN_MOVED_TO | IN_CLOSE_WRITE),
              0);
    // The race is decided at the bus; a few rounds give it a few chances to go wrong.
    for (int round = 0; round < 4 && !HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        QFile::remove(LinuxSandbox::current().recordFile());
        writeMarkdownRoute();
        routesWrites(inotify);
        const QByteArray folder = filesFolder("race", {"first.md", "second.md"});
        const std::unique_ptr<QProcess> processes[] = {runCorvanta(folder, "open first.md", true),
                                                       runCorvanta(folder, "open second.md", true)};
        QList<QByteArray> received;
        for (const QList<QByteArray>& record : waitForRecords(2))
            received.append(record);
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, (QList<QByteArray>{folder + "/first.md", folder + "/second.md"}));

        // One hands over and leaves; the other stays as the instance and owns the name.
        QDeadlineTimer settle(15000);
        while (!settle.hasExpired() && !processes[0]->waitForFinished(10) &&
               !processes[1]->waitForFinished(10)) {
        }
        const int instance = processes[0]->state() == QProcess::NotRunning ? 1 : 0;
        QProcess& other = *processes[1 - instance];
        EXPECT_EQ(other.state(), QProcess::NotRunning);
        EXPECT_EQ(other.exitCode(), 0) << "the other one handed over";
        ASSERT_EQ(processes[instance]->state(), QProcess::Running) << "exactly one instance";
        EXPECT_EQ(LinuxSandbox::corvantaInstancePid(), processes[instance]->processId());
        EXPECT_EQ(routesWrites(inotify), 1) << "only the instance writes the routes file";

        SandboxHelpers::run("gdbus",
                            {"call", "--session", "--dest", "io.corvanta.Corvanta", "--object-path",
                             "/io/corvanta/Corvanta", "--method",
                             "org.freedesktop.Application.ActivateAction", "quit", "[]", "{}"});
        EXPECT_TRUE(processes[instance]->waitForFinished(15000)) << "the instance quits when asked";
        EXPECT_EQ(processes[instance]->exitCode(), 0);
        EXPECT_EQ(routesWrites(inotify), 0) << "and does not write again";
    }
    ::close(inotify);
}
// With no instance running, the launcher opens files bound straight for an
// editor itself, started by a command or by the bus: once, together,
// remembered. A request it cannot serve (a URL template) reaches the tray it
// hands the bus name to. Each time the tray comes up.
TEST_F(RoutingEndToEnd, ColdStartsOpenOnceRememberAndLeaveATray) {
    ASSERT_TRUE(ok("gio", {"mime", "text/markdown", "io.corvanta.Corvanta.desktop"}));
    // With text: gio takes an empty file for another type.
    const QByteArray first = sample("cold one.md");
    const QByteArray second = sample("cold-two.md");
    const QByteArray folder = QFile::encodeName(LinuxSandbox::current().filesFolder());
    const QString linkTemplate =
        QStringLiteral("x-corvanta-test://open?file={filepath.urlencoded}");
    const struct {
        const char* corvantaOpen; // none: `gio open` of the files
        QList<QByteArray> files;
        std::optional<QString> urlTemplate;
        QList<QByteArray> record;
    } rows[] = {
        {"open 'cold one.md' cold-two.md", {first, second}, {}, {first, second}},
        {nullptr, {first}, {}, {first}},
        {nullptr,
         {second},
         linkTemplate,
         {"--scheme", "x-corvanta-test://open?file=" + second.toPercentEncoding("/@!$'()*:")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.files.join(' ').constData());
        QFile::remove(LinuxSandbox::current().recordFile());
        QFile::remove(RoutingHistoryFile::defaultPath());
        writeMarkdownRoute(false, row.urlTemplate);
        std::unique_ptr<QProcess> command;
        if (row.corvantaOpen)
            command = runCorvanta(folder, QString::fromLatin1(row.corvantaOpen), true);
        else
            ASSERT_TRUE(ok("gio", {"open", QFile::decodeName(row.files[0])}));
        EXPECT_EQ(records(1), QList<QList<QByteArray>>{row.record});
        ASSERT_TRUE(EndToEnd::trayInstance());
        QByteArray log;
        ASSERT_TRUE(ok(EndToEnd::corvanta(), {"log", "--json"}, &log));
        for (const QByteArray& path : row.files)
            EXPECT_TRUE(log.contains("\"file\":\"" + path + "\"")) << log.constData();
        EXPECT_EQ(log.count("\"arrival\":\"open\""), row.files.size()) << log.constData();
        EXPECT_EQ(records(2, 500).size(), 1);
        EndToEnd::stopInstance(command ? *command : process);
    }
}
} // namespace
