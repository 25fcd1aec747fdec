// One process writes the routes file: the tray instance. `corvanta teach`
// hands its sample to it, edits made on disk while it runs are followed, and a
// damaged edit is kept as it is. Runs on a real X server, where the instance's
// dialogs are answered with keys as a user would.
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
constexpr int waitMs = 15000;
using EndToEnd::corvanta;
using EndToEnd::ok;
using SandboxHelpers::records;
using SandboxHelpers::routesBytes;
using SandboxHelpers::routesFile;
using SandboxHelpers::sample;
using SandboxHelpers::waitUntil;

// The extensions of every route in the routes file (none when it does not decode).
QStringList storedExtensions() {
    auto decoded = RoutesFileCodec::decode(routesBytes());
    QStringList extensions;
    if (const auto* state = std::get_if<RouteStore::State>(&decoded))
        for (const Route& route : state->routes)
            extensions += route.extensions;
    return extensions;
}

QStringList visibleDialogs() {
    return EndToEnd::visibleWindows({"--name", "^Corvanta$"});
}

// Answers the instance's dialogs with Return (their default button) as they
// come, until none has come for a while; how many were answered.
int answerDialogs(int firstWithinMs = waitMs) {
    int answered = 0;
    int within = firstWithinMs;
    while (waitUntil([] { return !visibleDialogs().isEmpty(); }, within)) {
        const QString window = visibleDialogs().value(0).trimmed();
        ok("xdotool", {"windowfocus", "--sync", window});
        ok("xdotool", {"key", "--clearmodifiers", "Return"});
        waitUntil([&window] { return !visibleDialogs().contains(window); }, 3000);
        ++answered;
        within = 1500;
    }
    return answered;
}

class OwnershipEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installed = EndToEnd::installCorvanta().isEmpty(); }

    void SetUp() override {
        ASSERT_TRUE(installed);
        QFile::remove(LinuxSandbox::current().recordFile());
        markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                           {"test.MarkdownEditor", "test.RuleEditor"});
        EndToEnd::writeSettings({markdown});
        const ino_t written = inode();
        ASSERT_TRUE(EndToEnd::startInstance(instance));
        // The instance has loaded once it rewrote the file in the current format.
        ASSERT_TRUE(waitUntil([written] { return inode() != written; }));
    }

    void TearDown() override {
        answerDialogs(0);
        EndToEnd::stopInstance(instance);
    }

    static ino_t inode() {
        struct stat info {};
        return ::stat(QFile::encodeName(routesFile()).constData(), &info) == 0 ? info.st_ino : 0;
    }

    static inline bool installed = false;
    Route markdown;
    QProcess instance;
};

TEST_F(OwnershipEndToEnd, TeachIsHandedToTheInstanceAndEachTaughtTypeSurvivesTheNext) {
    for (const QByteArray name : {"first.zzq", "second.yyq"}) {
        SCOPED_TRACE(name.data());
        const QByteArray before = routesBytes();
        QByteArray output;
        ASSERT_TRUE(ok(corvanta(), {"teach", QFile::decodeName(sample(name))}, &output))
            << output.data();
        EXPECT_TRUE(output.contains("Handed to the running Corvanta")) << output.data();
        EXPECT_EQ(routesBytes(), before) << "nothing written before the user answers";
        EXPECT_GE(answerDialogs(), 1);
        EXPECT_TRUE(waitUntil([&name] {
            return storedExtensions().contains(QString::fromLatin1(name.split('.').last()));
        }));
    }
    EXPECT_TRUE(storedExtensions().contains("zzq")) << "kept by the instance's next change";
}

TEST_F(OwnershipEndToEnd, EditsOnDiskAreFollowedAndADamagedOneIsNeverWrittenOver) {
    // The hand edit makes the Rule Editor active.
    Route edited = markdown;
    edited.activeBundleID = QStringLiteral("test.RuleEditor");
    RouteStore::State state;
    state.routes = {edited};
    replaceFile(routesFile(), RoutesFileCodec::encode(state));
    const QByteArray first = sample("first.md");
    ASSERT_TRUE(ok(corvanta(), {"open", QFile::decodeName(first)}));
    EXPECT_EQ(records(1), (QList<QList<QByteArray>>{{"--rule", first}}));

    // A damaged edit: reported once, the routes in memory keep routing, and
    // the instance's next change does not write over the file.
    const QByteArray damaged = "{ \"routes\": [ half an edit";
    replaceFile(routesFile(), damaged);
    EXPECT_EQ(answerDialogs(), 1) << "Could not load settings";
    const QByteArray second = sample("second.md");
    ASSERT_TRUE(ok(corvanta(), {"open", QFile::decodeName(second)}));
    EXPECT_EQ(records(2), (QList<QList<QByteArray>>{{"--rule", first}, {"--rule", second}}));
    ASSERT_TRUE(ok(corvanta(), {"teach", QFile::decodeName(sample("third.xxq"))}));
    answerDialogs();
    QThread::msleep(500);
    EXPECT_EQ(routesBytes(), damaged);
}

// Runs Corvanta where the instance's session bus cannot be reached (another
// session, ssh, a broken bus): exit status and what it printed.
EndToEnd::ProcessResult runElsewhere(const QStringList& arguments, bool display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    if (!display)
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
    return EndToEnd::run(corvanta(), arguments, waitMs, environment);
}
} // namespace

TEST_F(OwnershipEndToEnd, ProcessesThatCannotReachTheInstanceNeverWriteTheFile) {
    const QByteArray bytes = routesBytes();
    const ino_t written = inode();
    const EndToEnd::ProcessResult tray = runElsewhere({}, true);
    EXPECT_EQ(tray.exitCode, 1) << tray.output().data();
    EXPECT_TRUE(tray.output().contains("not starting a second tray")) << tray.output().data();

    // Routed in its own process, read-only: the file opens, nothing is written.
    const QByteArray notes = sample("elsewhere.md");
    const auto open = runElsewhere({"open", QFile::decodeName(notes)}, false);
    EXPECT_EQ(open.exitCode, 0) << open.output().data();
    EXPECT_EQ(records(1), (QList<QList<QByteArray>>{{notes}}));

    const auto teach = runElsewhere({"teach", QFile::decodeName(sample("elsewhere.zzq"))}, false);
    EXPECT_EQ(teach.exitCode, 1);
    EXPECT_TRUE(teach.output().contains("owns")) << teach.output().data();
    EXPECT_EQ(routesBytes(), bytes);
    EXPECT_EQ(inode(), written);
}
