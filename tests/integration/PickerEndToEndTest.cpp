// The picker as a user meets it: a Markdown file opened through the running
// instance shows the picker on a real X server; keys typed into it decide
// which recorder editor, if any, receives the file.
#include "core/model/RoutesFileCodec.h"
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
        return SandboxHelpers::waitUntil(
            [] {
                return EndToEnd::visibleWindows({"--name", pickerTitle}).isEmpty();
            },
            waitMs);
    }

    static inline bool installed = false;
    QByteArray path;
    QProcess opener;
};

TEST_F(PickerEndToEnd, ReturnOpensTheFileInTheHighlightedEditor) {
    ASSERT_TRUE(typeIntoPicker(QStringLiteral("Return")));
    EXPECT_EQ(SandboxHelpers::records(1), (QList<QList<QByteArray>>{{"--second", path}}));
    EXPECT_TRUE(pickerGone());
}

// Without a compositing manager (this X server has none) the panel is cut to
// the disc; a click beside the disc still cancels, as the tool tip promises.
TEST_F(PickerEndToEnd, ClickBesideTheDiscCancels) {
    ASSERT_TRUE(ok("xdotool", {"search", "--sync", "--onlyvisible", "--name", pickerTitle}));
    const QRect panel =
        EndToEnd::geometry(EndToEnd::visibleWindows({"--name", pickerTitle}).value(0));
    ASSERT_GT(panel.width(), 0);
    // A corner of the panel: outside the disc and its caption.
    const QString x = QString::number(panel.x() + 3), y = QString::number(panel.y() + 3);
    // The grab is taken once the window is mapped; give it a moment.
    QThread::msleep(300);
    ASSERT_TRUE(ok("xdotool", {"mousemove", "--sync", x, y, "click", "1"}));
    EXPECT_TRUE(pickerGone());
    QThread::msleep(500);
    EXPECT_TRUE(LinuxSandbox::current().records().isEmpty());
}

TEST_F(PickerEndToEnd, EscapeOpensNothing) {
    ASSERT_TRUE(typeIntoPicker(QStringLiteral("Escape")));
    ASSERT_TRUE(pickerGone());
    // An editor started by mistake would have recorded within this time.
    QThread::msleep(500);
    EXPECT_TRUE(LinuxSandbox::current().records().isEmpty());
}
// Shift on confirming asks for a rule, whatever the layout types on the number
// key (keycode 11): "@" with Shift in "us", a quote in "de", e-acute without it in "fr".
TEST_F(PickerEndToEnd, NumberKeysInEveryLayoutAndShiftOfferARule) {
    const auto restore = qScopeGuard([] { ok("setxkbmap", {"us"}); });
    const QList<QByteArray> markdown{path}, second{"--second", path};
    const struct {
        const char* layout;
        const char* keys;
        QList<QByteArray> record;
        bool offersRule;
    } cases[] = {
        {"us", "ctrl+shift+11", markdown, true}, {"de", "ctrl+shift+11", markdown, true},
        {"fr", "ctrl+11", markdown, false},      {"fr", "ctrl+shift+11", markdown, true},
        {"us", "shift+Return", second, true}, // and saved
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << " " << c.keys);
        if (&c != cases) { // the running instance shows the next picker
            QFile::remove(LinuxSandbox::current().recordFile());
            ASSERT_TRUE(ok(EndToEnd::corvanta(), {"open", QFile::decodeName(path)}));
        }
        ASSERT_TRUE(ok("setxkbmap", {c.layout}));
        ASSERT_TRUE(typeIntoPicker(QString::fromLatin1(c.keys)));
        EXPECT_EQ(SandboxHelpers::records(1), QList<QList<QByteArray>>{c.record});
        const auto sheets = [] { return EndToEnd::visibleWindows({"--name", "^Add Rule$"}); };
        EXPECT_EQ(SandboxHelpers::waitUntil([&] { return !sheets().isEmpty(); },
                                            c.offersRule ? waitMs : 1000),
                  c.offersRule);
        const bool last = &c == std::end(cases) - 1;
        if (c.offersRule && !sheets().isEmpty()) {
            ASSERT_TRUE(ok("xdotool", {"windowfocus", "--sync", sheets().first(), "key",
                                       "--clearmodifiers", last ? "Return" : "Escape"}));
        }
        EXPECT_TRUE(SandboxHelpers::waitUntil([&] { return sheets().isEmpty(); }));
    }
    Route saved;
    SandboxHelpers::waitUntil([&saved] {
        const auto decoded = RoutesFileCodec::decode(SandboxHelpers::routesBytes());
        const auto* state = std::get_if<RouteStoreState>(&decoded);
        for (const Route& route : state ? state->routes : QList<Route>())
            saved = route.id == QStringLiteral("markdown") ? route : saved;
        return saved.rules.size() == 2;
    });
    ASSERT_EQ(saved.rules.size(), 2);
    EXPECT_EQ(saved.rules.first().name, QStringLiteral("files"));
    EXPECT_EQ(saved.rules.first().action.effectiveBundleIDs(), QStringList{"test.SecondEditor"});
}
} // namespace
