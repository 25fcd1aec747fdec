// The picker as a user meets it: a Markdown file opened through the running
// instance shows the picker on a real X server; keys typed into it decide
// which recorder editor, if any, receives the file.
#include "tests/integration/EndToEndSupport.h"
#include "tests/integration/LinuxSandbox.h"
#include "tests/support/RuleBuilders.h"

#include <QFile>
#include <QScopeGuard>
#include <QThread>
#include <gtest/gtest.h>

namespace {
const QString pickerTitle = QStringLiteral("^Choose a Markdown editor$");
constexpr int waitMs = 10000;

using EndToEnd::ok;

class PickerEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installed = EndToEnd::installCorvanta().isEmpty(); }

    void SetUp() override {
        ASSERT_TRUE(installed);
        QFile::remove(LinuxSandbox::current().recordFile());
        // Both editors enabled; the preference order puts the second one first.
        Route markdown = EndToEnd::recorderRoute("markdown", "Markdown", "md",
                                                 {"test.MarkdownEditor", "test.SecondEditor"});
        markdown.defaultPreferenceOrder = {"test.SecondEditor", "test.MarkdownEditor"};
        markdown.rules = {
            RuleBuilders::rule(RuleBuilders::allOf({RuleBuilders::always}),
                               RuleBuilders::actionOf(RuleActionKind::selectFromAllEditors))};
        EndToEnd::writeSettings({markdown});
        path = SandboxHelpers::sample("picked notes.md");
        opener.start(EndToEnd::corvanta(), {QStringLiteral("open"), QFile::decodeName(path)});
        ASSERT_TRUE(opener.waitForStarted(waitMs));
    }

    void TearDown() override { EndToEnd::stopInstance(opener); }

    // Waits for the picker to be shown and focused, then types `key` through
    // XTEST as a user would; a key sent to the window itself could outlive it.
    static bool typeIntoPicker(const QString& key) {
        // Focus fails while the window is found but not yet mapped: try again.
        return SandboxHelpers::waitUntil(
                   [] {
                       return ok("xdotool", {"search", "--sync", "--onlyvisible", "--name",
                                             pickerTitle, "windowfocus", "--sync", "%1"});
                   },
                   waitMs) &&
               ok("xdotool", {"key", "--clearmodifiers", key});
    }
    static bool pickerGone() {
        return SandboxHelpers::waitUntil([] {
            return EndToEnd::visibleWindows({"--name", pickerTitle}).isEmpty();
        });
    }

    static inline bool installed = false;
    QByteArray path;
    QProcess opener;
};

// Without a compositing manager (this X server has none) the panel is cut to
// the disc; a click beside the disc still cancels, as the tool tip promises.
TEST_F(PickerEndToEnd, ClickBesideTheDiscCancels) {
    ASSERT_TRUE(ok("xdotool", {"search", "--sync", "--onlyvisible", "--name", pickerTitle}));
    const QString panel = EndToEnd::visibleWindows({"--name", pickerTitle}).value(0);
    // The grab is taken once the window is mapped; give it a moment.
    QThread::msleep(300);
    // A corner of the panel: outside the disc and its caption.
    ASSERT_TRUE(ok("xdotool", {"mousemove", "--sync", "--window", panel, "3", "3", "click", "1"}));
    EXPECT_TRUE(pickerGone());
    QThread::msleep(500);
    EXPECT_TRUE(LinuxSandbox::current().records().isEmpty());
}

// Keys typed into the picker decide which editor receives the file (Escape and
// Return alone are the picker widget's own), and Shift on confirming asks for a
// rule whatever the layout types on the number key (keycode 11): "@" with Shift
// in "us", a quote in "de", e-acute without it in "fr".
TEST_F(PickerEndToEnd, KeysDecideTheEditorAndShiftOffersARule) {
    const auto restore = qScopeGuard([] { ok("setxkbmap", {"us"}); });
    const QList<QByteArray> markdown{path}, second{"--second", path};
    const struct {
        const char* layout;
        const char* keys;
        QList<QList<QByteArray>> records;
        bool offersRule = false;
    } cases[] = {
        {"us", "ctrl+shift+11", {markdown}, true},
        {"de", "ctrl+shift+11", {markdown}, true},
        {"fr", "ctrl+11", {markdown}},
        {"fr", "ctrl+shift+11", {markdown}, true},
        {"us", "shift+Return", {second}, true}, // and saved
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << " " << c.keys);
        if (&c != cases) { // the running instance shows the next picker
            QFile::remove(LinuxSandbox::current().recordFile());
            ASSERT_TRUE(ok(EndToEnd::corvanta(), {"open", QFile::decodeName(path)}));
        }
        ASSERT_TRUE(ok("setxkbmap", {c.layout}));
        ASSERT_TRUE(typeIntoPicker(QString::fromLatin1(c.keys)));
        EXPECT_TRUE(pickerGone());
        EXPECT_EQ(SandboxHelpers::records(c.records.size()), c.records);
        const auto sheets = [] { return EndToEnd::visibleWindows({"--name", "^Add Rule$"}); };
        EXPECT_EQ(SandboxHelpers::waitUntil([&] { return !sheets().isEmpty(); },
                                            c.offersRule ? waitMs : 1000),
                  c.offersRule);
        if (c.offersRule && !sheets().isEmpty()) {
            QThread::msleep(300); // a sheet just shown may miss a key
            // Escape cancels the sheet, Return saves the last one.
            ASSERT_TRUE(
                ok("xdotool", {"windowfocus", "--sync", sheets().first(), "key", "--clearmodifiers",
                               &c == std::end(cases) - 1 ? "Return" : "Escape"}));
        }
        EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return sheets().isEmpty(); }));
    }
    // Saved before the rule that shows the picker, it opens the file at once.
    QFile::remove(LinuxSandbox::current().recordFile());
    ASSERT_TRUE(ok(EndToEnd::corvanta(), {"open", QFile::decodeName(path)}));
    EXPECT_EQ(SandboxHelpers::records(1), QList<QList<QByteArray>>{second});
}
} // namespace
