// Corvanta as a user meets it: installed into the sandboxed home's prefix,
// started by D-Bus activation or from the command line, handing files to
// recorder programs that stand in for editors, a browser and a URL handler.
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/RoutesFileCodec.h"
#include "core/routing/LocalFileURL.h"
#include "platform/linux/LinuxPlatform.h"
#include "tests/integration/LinuxSandbox.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QString serviceName = QStringLiteral("io.corvanta.Corvanta");
constexpr int waitMs = 20000;

struct ExtraEntry {
    const char* fileName;
    const char* contents;
};
// Each passes a marker first, so a record tells which application received it.
const ExtraEntry extraEntries[] = {
    {"test.RuleEditor.desktop", "[Desktop Entry]\nType=Application\nName=Rule Editor\n"
                                "Exec=recorder-editor --rule-editor %F\nMimeType=text/markdown;\n"},
    {"test.SchemeHandler.desktop",
     "[Desktop Entry]\nType=Application\nName=Scheme Handler\nNoDisplay=true\n"
     "Exec=recorder-editor --scheme %u\nMimeType=x-scheme-handler/x-corvanta-test;\n"},
};

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(waitMs);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Sets up the installed program once per test process.
class Installation {
public:
    static Installation& current() {
        static Installation installation;
        return installation;
    }
    QString error;
    QString prefix;
    QString corvanta() const { return prefix + QStringLiteral("/bin/corvanta"); }

    bool install(LinuxSandbox& sandbox) {
        // Corvanta's own entry comes from the prefix, not the sandbox's stand-in.
        prefix = sandbox.root();
        QFile::remove(sandbox.applicationsFolder() +
                      QStringLiteral("/io.corvanta.Corvanta.desktop"));
        for (const ExtraEntry& entry : extraEntries) {
            QFile file(sandbox.applicationsFolder() + QLatin1Char('/') +
                       QLatin1String(entry.fileName));
            if (!file.open(QIODevice::WriteOnly) || file.write(entry.contents) < 0) {
                error = QStringLiteral("cannot write %1").arg(QLatin1String(entry.fileName));
                return false;
            }
        }
        QString output;
        if (!run(QStringLiteral("update-desktop-database"), {sandbox.applicationsFolder()},
                 &output) ||
            !run(QStringLiteral("cmake"),
                 {QStringLiteral("--install"), QStringLiteral(CORVANTA_BINARY_DIR),
                  QStringLiteral("--prefix"), prefix, QStringLiteral("--component"),
                  QStringLiteral("Unspecified")},
                 &output)) {
            error = QStringLiteral("installing failed: ") + output;
            return false;
        }
        if (!QFile::exists(prefix +
                           QStringLiteral("/share/dbus-1/services/io.corvanta.Corvanta.service"))) {
            error = QStringLiteral("the D-Bus service file was not installed");
            return false;
        }
        // The bus was started before the service file existed.
        QDBusConnection::sessionBus().interface()->call(QStringLiteral("ReloadConfig"));
        for (const auto& [type, entry] :
             {std::pair{"x-scheme-handler/https", "test.Browser.desktop"},
              std::pair{"x-scheme-handler/x-corvanta-test", "test.SchemeHandler.desktop"}}) {
            if (!run(QStringLiteral("gio"),
                     {QStringLiteral("mime"), QLatin1String(type), QLatin1String(entry)},
                     &output)) {
                error = QStringLiteral("gio mime failed: ") + output;
                return false;
            }
        }
        return true;
    }
};

Route builtInLike(const QString& id, const QString& name, const QStringList& extensions) {
    Route route;
    route.id = id;
    route.name = name;
    route.extensions = extensions;
    route.normalizeUtilities();
    return route;
}

class RoutingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Installation::current().error.isEmpty())
            << qPrintable(Installation::current().error);
        LinuxSandbox& sandbox = LinuxSandbox::current();
        files = sandbox.filesFolder();
        QFile::remove(sandbox.recordFile());

        // Markdown opens in the Markdown Editor; one rule, which never matches
        // by itself, sends files to the Rule Editor. Plain text goes through a
        // URL template.
        Route markdown = builtInLike(QStringLiteral("markdown"), QStringLiteral("Markdown"),
                                     {QStringLiteral("md"), QStringLiteral("markdown")});
        markdown.editors = {
            editor(QStringLiteral("test.MarkdownEditor"), QStringLiteral("Markdown Editor")),
            editor(QStringLiteral("test.RuleEditor"), QStringLiteral("Rule Editor"))};
        markdown.activeBundleID = QStringLiteral("test.MarkdownEditor");
        Rule rule;
        rule.id = QStringLiteral("8D1C7E52-0B4A-4C1E-9E55-2B0C1F2A3B4C");
        rule.name = QStringLiteral("Notes rule");
        rule.when.id = QStringLiteral("G");
        Predicate never;
        never.id = QStringLiteral("P");
        never.kind = PredicateKind::fileName;
        never.stringOperator = StringMatchOperator::is;
        never.stringValue = QStringLiteral("no file is called this");
        rule.when.predicates = {never};
        rule.action.kind = RuleActionKind::specificEditor;
        rule.action.bundleIDs = QStringList{QStringLiteral("test.RuleEditor")};
        markdown.rules = {rule};

        Route text = builtInLike(QStringLiteral("plaintext"), QStringLiteral("Plain Text"),
                                 {QStringLiteral("txt")});
        Editor viewer = editor(QStringLiteral("test.TextViewer"), QStringLiteral("Text Viewer"));
        viewer.urlSchemeTemplate =
            QStringLiteral("x-corvanta-test://open?path={filepath.urlencoded}");
        text.editors = {viewer};
        text.activeBundleID = viewer.bundleID;

        RouteStoreState state;
        state.routes = {markdown, text};
        const QString folder = sandbox.configHome() + QStringLiteral("/Corvanta");
        QDir().mkpath(folder);
        QFile routes(folder + QStringLiteral("/routes.json"));
        ASSERT_TRUE(routes.open(QIODevice::WriteOnly | QIODevice::Truncate));
        routes.write(RoutesFileCodec::encode(state));
    }

    void TearDown() override {
        // Corvanta keeps running in the tray; end the instance this test started.
        const std::optional<qint64> pid = instancePid();
        if (!pid)
            return;
        QDBusMessage quit = QDBusMessage::createMethodCall(
            serviceName, QStringLiteral("/io/corvanta/Corvanta"),
            QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
        quit.setArguments({QStringLiteral("quit"), QVariantList(), QVariantMap()});
        quit.setAutoStartService(false);
        QDBusConnection::sessionBus().call(quit, QDBus::Block, 5000);
        QElapsedTimer timer;
        timer.start();
        while (instancePid() && timer.elapsed() < 5000)
            QThread::msleep(20);
        if (instancePid())
            ::kill(static_cast<pid_t>(*pid), SIGKILL);
        for (const auto& process : started) {
            if (process->state() != QProcess::NotRunning && !process->waitForFinished(5000))
                process->kill();
        }
    }

    static Editor editor(const QString& id, const QString& name) {
        Editor e;
        e.bundleID = id;
        e.name = name;
        return e;
    }

    QByteArray touch(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(files) + '/' + name;
        FILE* file = ::fopen(path.constData(), "w");
        EXPECT_NE(file, nullptr) << path.toStdString();
        if (file) {
            std::fputs("# sample\n", file);
            ::fclose(file);
        }
        return path;
    }

    static std::optional<qint64> instancePid() {
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        const QDBusReply<uint> pid = bus->servicePid(serviceName);
        if (!pid.isValid())
            return std::nullopt;
        return qint64(pid.value());
    }

    // Waits until the recorders have written `count` records.
    QList<QList<QByteArray>> records(qsizetype count) const {
        QElapsedTimer timer;
        timer.start();
        QList<QList<QByteArray>> result = LinuxSandbox::current().records();
        while (result.size() < count && timer.elapsed() < waitMs) {
            QThread::msleep(20);
            result = LinuxSandbox::current().records();
        }
        return result;
    }

    bool gioOpen(const QList<QByteArray>& paths) {
        QStringList arguments{QStringLiteral("open")};
        for (const QByteArray& path : paths)
            arguments.append(QFile::decodeName(path));
        QString output;
        const bool ok = run(QStringLiteral("gio"), arguments, &output);
        EXPECT_TRUE(ok) << qPrintable(output);
        return ok;
    }

    // `corvanta open ARGS` started from the files folder; not waited for.
    QProcess* corvantaOpen(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setWorkingDirectory(files);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(Installation::current().corvanta(),
                       QStringList{QStringLiteral("open")} + arguments);
        EXPECT_TRUE(process->waitForStarted(waitMs));
        started.push_back(std::move(process));
        return started.back().get();
    }

    QString files;
    std::vector<std::unique_ptr<QProcess>> started;
};

TEST_F(RoutingEndToEnd, GioOpenAfterClaimingMarkdownReachesTheEditorAndLaterFilesTheSameInstance) {
    LinuxPlatform linux;
    Platform platform = linux.platform();
    DefaultHandlerClaimer claimer(platform.types, platform.workspace, platform.preferences,
                                  platform.alerts);
    ASSERT_TRUE(claimer.runsFromApplicationBundle());
    claimer.claimDefaultHandler({QStringLiteral("text/markdown")});
    QString output;
    ASSERT_TRUE(run(QStringLiteral("gio"),
                    {QStringLiteral("mime"), QStringLiteral("text/markdown")}, &output));
    ASSERT_TRUE(output.contains(QStringLiteral("io.corvanta.Corvanta.desktop")))
        << qPrintable(output);

    const QByteArray notes = touch("notes.md");
    ASSERT_TRUE(gioOpen({notes}));
    QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0], QList<QByteArray>{notes});
    const std::optional<qint64> instance = instancePid();
    ASSERT_TRUE(instance);

    const QByteArray second = touch("second.md");
    ASSERT_TRUE(gioOpen({second}));
    recorded = records(2);
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[1], QList<QByteArray>{second});
    EXPECT_EQ(instancePid(), instance);
}

TEST_F(RoutingEndToEnd, LinkForcesItsRule) {
    const QByteArray notes = touch("linked notes.md");
    const QString link = QStringLiteral("x-corvanta://open?file=") +
                         QString::fromLatin1(notes.toPercentEncoding("/")) +
                         QStringLiteral("&rule=Notes%20rule");
    corvantaOpen({link});
    QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0], (QList<QByteArray>{"--rule-editor", notes}));

    // The same link from any program: the desktop hands x-corvanta links to Corvanta.
    const QByteArray other = touch("other.md");
    const QString byId =
        QStringLiteral("x-corvanta://open?rule=8D1C7E52-0B4A-4C1E-9E55-2B0C1F2A3B4C"
                       "&file=") +
        QString::fromLatin1(other.toPercentEncoding("/"));
    QString output;
    ASSERT_TRUE(run(QStringLiteral("gio"), {QStringLiteral("open"), byId}, &output))
        << qPrintable(output);
    recorded = records(2);
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[1], (QList<QByteArray>{"--rule-editor", other}));
}

TEST_F(RoutingEndToEnd, UrlTemplateOpensThroughTheSchemeHandler) {
    const QByteArray text = touch("read me & more.txt");
    corvantaOpen({QStringLiteral("read me & more.txt")});
    const QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0],
              (QList<QByteArray>{"--scheme", "x-corvanta-test://open?path=" +
                                                 text.toPercentEncoding("/@!$'()*:")}));
}

TEST_F(RoutingEndToEnd, WebLinkReachesTheBrowser) {
    corvantaOpen({QStringLiteral("https://example.org/page?q=a%20b#top")});
    const QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0], QList<QByteArray>{"https://example.org/page?q=a%20b#top"});
}

TEST_F(RoutingEndToEnd, HostileNamesArriveByteForByteAsOneArgumentEach) {
    const QList<QByteArray> names{"with space.md", "quote'\"s.md", "$(touch pwned).md",
                                  "`id`.md",       "-rf.md",       "new\nline.md",
                                  "100% ;|&.md",   "tab\there.md"};
    QList<QByteArray> paths;
    QStringList arguments;
    for (const QByteArray& name : names) {
        paths.append(touch(name));
        // Relative, as typed in the files folder.
        arguments.append(QFile::decodeName(name));
    }
    corvantaOpen(arguments);
    QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0], paths);

    // QProcess arguments are text, so names that are not UTF-8 come another
    // way: a shell passes the bytes its printf escapes make to `corvanta open`...
    const QByteArray odd = touch("\xff\xfe odd.md");
    QProcess shell;
    shell.setWorkingDirectory(files);
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("exec \"$0\" open \"$(printf '\\377\\376 odd.md')\""),
                 Installation::current().corvanta()});
    ASSERT_TRUE(shell.waitForFinished(waitMs));
    EXPECT_EQ(shell.exitCode(), 0);
    recorded = records(2);
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[1], QList<QByteArray>{odd});

    // ...and gio hands such a name over D-Bus as a percent-encoded URI.
    const QByteArray latin1 = touch("\xe9t\xe9 latin1.md");
    ASSERT_TRUE(run(QStringLiteral("gio"),
                    {QStringLiteral("open"),
                     QString::fromLatin1(LocalFileURL::fromNativePath(latin1).toEncoded())}));
    recorded = records(3);
    ASSERT_EQ(recorded.size(), 3);
    EXPECT_EQ(recorded[2], QList<QByteArray>{latin1});
    EXPECT_FALSE(QFile::exists(files + QStringLiteral("/pwned")));
}

TEST_F(RoutingEndToEnd, TwoStartsAtTheSameMomentMakeOneInstance) {
    const QByteArray a = touch("a.md");
    const QByteArray b = touch("b.md");
    QProcess* first = corvantaOpen({QStringLiteral("a.md")});
    QProcess* second = corvantaOpen({QStringLiteral("b.md")});
    QList<QList<QByteArray>> recorded = records(2);
    ASSERT_EQ(recorded.size(), 2);
    QList<QByteArray> opened{recorded[0].value(0), recorded[1].value(0)};
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (QList<QByteArray>{a, b}));
    // The one that forwarded has ended; the instance runs on.
    QElapsedTimer timer;
    timer.start();
    // QProcess learns that a child ended only while waiting on it.
    while (first->state() != QProcess::NotRunning && second->state() != QProcess::NotRunning &&
           timer.elapsed() < waitMs) {
        first->waitForFinished(10);
        second->waitForFinished(10);
    }
    const bool firstRuns = first->state() != QProcess::NotRunning;
    const bool secondRuns = second->state() != QProcess::NotRunning;
    EXPECT_NE(firstRuns, secondRuns);
    QProcess* forwarder = firstRuns ? second : first;
    EXPECT_EQ(forwarder->exitCode(), 0);
    EXPECT_EQ(instancePid(), (firstRuns ? first : second)->processId());
}

TEST_F(RoutingEndToEnd, WithoutBusOrDisplayOpenRoutesInProcessAndExits) {
    const QByteArray notes = touch("alone.md");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/bus"));
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(Installation::current().corvanta(),
                  {QStringLiteral("open"), QFile::decodeName(notes)});
    ASSERT_TRUE(process.waitForFinished(waitMs));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QList<QList<QByteArray>> recorded = records(1);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0], QList<QByteArray>{notes});
    EXPECT_FALSE(instancePid());
}
} // namespace

int main(int argc, char** argv) {
    bool listingOnly = false;
    for (int i = 1; i < argc; ++i)
        listingOnly = listingOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listingOnly)
        return RUN_ALL_TESTS();

    // Instances started by the bus inherit this: no real screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    LinuxSandbox& sandbox = LinuxSandbox::current();
    if (!sandbox.setUp(QStringLiteral(CORVANTA_RECORDER_PATH))) {
        std::fprintf(stderr, "cannot set up the test home: %s\n", qPrintable(sandbox.error()));
        sandbox.tearDown();
        return 1;
    }
    int result = 0;
    {
        QCoreApplication app(argc, argv);
        Installation::current().install(sandbox);
        result = RUN_ALL_TESTS();
    }
    sandbox.tearDown();
    return result;
}
