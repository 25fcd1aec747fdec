// Corvanta as a user meets it: installed into the sandboxed home's prefix,
// started by D-Bus activation or from the command line, handing files to
// recorder programs that stand in for editors, a browser and a URL handler.
#include "core/fileactions/ThunarActionsFile.h"
#include "core/history/RoutingHistoryFile.h"
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/LocalFileURL.h"
#include "core/utilities/ActionCommandLine.h"
#include "platform/linux/LinuxPlatform.h"
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/RuleBuilders.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
constexpr int waitMs = 20000;
using SandboxHelpers::records;
using SandboxHelpers::sample;
// Set before the sandbox starts the bus, so instances it starts need no screen.
[[maybe_unused]] const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");

using EndToEnd::ok;

// Installs Corvanta into the sandbox's prefix, with the sandbox's handler of
// x-corvanta-test: links that mark what they record; an error or none.
QString install() {
    const QString error = EndToEnd::installCorvanta();
    if (!error.isEmpty())
        return error;
    QByteArray output;
    if (!ok("gio", {"mime", "x-scheme-handler/https", "test.Browser.desktop"}, &output) ||
        !ok("gio", {"mime", "x-scheme-handler/x-corvanta-test", "test.SchemeHandler.desktop"},
            &output))
        return QStringLiteral("installing failed: ") + QString::fromLocal8Bit(output);
    return {};
}

class RoutingEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installError = install(); }
    void SetUp() override {
        ASSERT_TRUE(installError.isEmpty()) << qPrintable(installError);
        files = LinuxSandbox::current().filesFolder();
        QFile::remove(LinuxSandbox::current().recordFile());
        // Markdown opens in the Markdown Editor, or through a rule that matches no
        // file by itself in the Rule Editor; plain text goes through a URL template.
        Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                                 {"test.MarkdownEditor", "test.RuleEditor"});
        markdown.rules = {RuleBuilders::rule(RuleBuilders::allOf({RuleBuilders::never}),
                                             RuleBuilders::openIn({"test.RuleEditor"}), true,
                                             QStringLiteral("Notes rule"))};
        Route text = EndToEnd::recorderRoute("plaintext", "Plain Text", "txt", {"test.TextViewer"});
        text.editors[0].urlSchemeTemplate = "x-corvanta-test://open?path={filepath.urlencoded}";
        EndToEnd::writeSettings({markdown, text});
    }

    // Corvanta keeps running in the tray; end the instance this test started.
    void TearDown() override { EndToEnd::stopInstance(process); }

    // `corvanta open ARGS` started from the files folder; not waited for.
    void corvantaOpen(const QStringList& arguments) {
        process.setWorkingDirectory(files);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(EndToEnd::corvanta(), QStringList{QStringLiteral("open")} + arguments);
        EXPECT_TRUE(process.waitForStarted(waitMs));
    }

    static inline QString installError;
    QString files;
    QProcess process;
};

TEST_F(RoutingEndToEnd, GioOpenAfterClaimingReachesTheEditorAndLaterFilesTheSameInstance) {
    LinuxPlatform linux;
    Platform platform = linux.platform();
    DefaultHandlerClaimer claimer(platform.types, platform.workspace, platform.preferences,
                                  platform.alerts);
    ASSERT_TRUE(claimer.runsFromApplicationBundle());
    claimer.claimDefaultHandler({QStringLiteral("text/markdown")});
    QByteArray output;
    ASSERT_TRUE(ok("gio", {"mime", "text/markdown"}, &output));
    ASSERT_TRUE(output.contains("io.corvanta.Corvanta.desktop")) << output.constData();

    const QByteArray notes = sample("notes.md");
    ASSERT_TRUE(ok("gio", {"open", QFile::decodeName(notes)}));
    ASSERT_EQ(records(1), QList<QList<QByteArray>>{{notes}});
    const std::optional<qint64> instance = EndToEnd::trayInstance();
    ASSERT_TRUE(instance);
    const QByteArray second = sample("second.md");
    ASSERT_TRUE(ok("gio", {"open", QFile::decodeName(second)}));
    EXPECT_EQ(records(2), (QList<QList<QByteArray>>{{notes}, {second}}));
    EXPECT_EQ(LinuxSandbox::corvantaInstancePid(), instance);
}

TEST_F(RoutingEndToEnd, LinkTemplateAndWebLinkEachReachTheirProgram) {
    const QByteArray notes = sample("linked-notes.md");
    const QByteArray text = sample("read me & more.txt");
    corvantaOpen({QStringLiteral("x-corvanta://open?rule=Notes%20rule&file=") +
                      QString::fromLatin1(notes.toPercentEncoding("/")),
                  QStringLiteral("read me & more.txt"),
                  QStringLiteral("https://example.org/page?q=a%20b#top")});
    QList<QList<QByteArray>> recorded = records(3);
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ(recorded,
              (QList<QList<QByteArray>>{{"--rule", notes},
                                        {"--scheme", "x-corvanta-test://open?path=" +
                                                         text.toPercentEncoding("/@!$'()*:")},
                                        {"https://example.org/page?q=a%20b#top"}}));
}

// The command an installed Thunar action runs, as Thunar builds it: each path
// shell-quoted in place of %F, the line run by /bin/sh.
QStringList thunarCommand(const QString& ucaPath, const QString& uniqueId,
                          const QList<QByteArray>& paths) {
    QFile file(ucaPath);
    QList<QUrl> urls;
    for (const QByteArray& path : paths)
        urls.append(LocalFileURL::fromNativePath(path));
    QStringList words;
    // Ours is the file's only action: the reader gives it no key.
    for (const FileManagerAction& action : ThunarActionsFile::read(
             ucaPath, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), {}))
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
    EndToEnd::writeSettings({markdown}, {{rule.hotkeyName(), "Ctrl+Alt+K"}});
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
    // Now one runs: the next action hands over to it and ends.
    ASSERT_TRUE(ok(command.first(), command.mid(1), &output)) << output.constData();
    EXPECT_EQ(records(2), (QList<QList<QByteArray>>{expected, expected}));

    // Nautilus runs its script in the shown folder with the selected names.
    const QDir scripts(sandbox.dataHome() + QStringLiteral("/nautilus/scripts"));
    const QStringList written = scripts.entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1) << qPrintable(installed);
    QStringList names;
    for (const QByteArray& path : paths)
        names << QFileInfo(QFile::decodeName(path)).fileName();
    QProcess script;
    script.setWorkingDirectory(files);
    script.start(scripts.filePath(written.first()), names);
    ASSERT_TRUE(script.waitForFinished(waitMs) && script.exitCode() == 0);
    EXPECT_EQ(records(3), (QList<QList<QByteArray>>{expected, expected, expected}));
    EXPECT_FALSE(QFile::exists(files + QStringLiteral("/pwned")));

    ASSERT_TRUE(ok(corvanta, {"install-actions", "--remove"}, &output)) << output.constData();
    EXPECT_FALSE(QFile::exists(uca));
    EXPECT_TRUE(scripts.entryList(QDir::Files).isEmpty());
    QFile::remove(nautilus);
}
} // namespace

// With no instance running, the launcher opens files bound straight for an
// editor itself, started by a command or by the bus: once, together,
// remembered. A request it cannot serve (a URL template) reaches the tray it
// hands the bus name to. Each time the tray comes up.
TEST_F(RoutingEndToEnd, ColdStartsOpenOnceRememberAndLeaveATray) {
    for (const char* type : {"text/markdown", "text/plain"})
        ASSERT_TRUE(ok("gio", {"mime", type, "io.corvanta.Corvanta.desktop"}));
    const QByteArray first = sample("cold one.md");
    const QByteArray second = sample("cold-two.md");
    const QByteArray text = sample("cold.txt");
    const struct {
        QStringList corvantaOpen; // none: `gio open` of the files
        QList<QByteArray> files;
        QList<QByteArray> record;
    } rows[] = {
        {{"cold one.md", "cold-two.md"}, {first, second}, {first, second}},
        {{}, {first}, {first}},
        {{}, {text}, {"--scheme", "x-corvanta-test://open?path=" + text.toPercentEncoding("/")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.files.join(' ').constData());
        QFile::remove(LinuxSandbox::current().recordFile());
        QFile::remove(RoutingHistoryFile::defaultPath());
        if (row.corvantaOpen.isEmpty())
            for (const QByteArray& file : row.files)
                ASSERT_TRUE(ok("gio", {"open", QFile::decodeName(file)}));
        else
            corvantaOpen(row.corvantaOpen);
        EXPECT_EQ(records(1), QList<QList<QByteArray>>{row.record});
        ASSERT_TRUE(EndToEnd::trayInstance());
        QByteArray log;
        ASSERT_TRUE(ok(EndToEnd::corvanta(), {"log", "--json"}, &log));
        for (const QByteArray& path : row.files)
            EXPECT_TRUE(log.contains("\"file\":\"" + path + "\"")) << log.constData();
        EXPECT_EQ(log.count("\"arrival\":\"open\""), row.files.size()) << log.constData();
        EXPECT_EQ(records(2, 500).size(), 1);
        EndToEnd::stopInstance(process);
    }
}
