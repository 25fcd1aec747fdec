// A rule hotkey through the delegate: the resolver it owns, the beep for an
// empty selection, the hotkey names reaching the rules, and the two flags.
#include "tests/support/DelegateTest.h"
#include "tests/support/RuleBuilders.h"

namespace {

class DelegateSelection : public DelegateTest {
protected:
    void SetUp() override {
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        Route org = route(QStringLiteral("custom.org"), "Org", "org");
        org.rules = {RuleBuilders::rule(RuleBuilders::allOf({RuleBuilders::hotkey("rule-b")}),
                                        RuleBuilders::openIn({beta}))};
        writeRoutes(routesPath(), {org});
        delegate = std::make_unique<AppDelegate>(fake.platform(), pickers, utilities, routesPath());
        files = touchFiles(dir.path(), {"one.org", "two words.org"});
        fake.frontmost.bundleID = QStringLiteral("thunar");
    }
    QList<FakeWorkspace::OpenCall> opened() const { return fake.workspace.openCalls(); }

    QList<QUrl> files;
};

TEST_F(DelegateSelection, EmptySelectionBeepsAndTheFiredHotkeyNamesDecideTheRule) {
    delegate->routeSelection({QStringLiteral("rule-b")});
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_EQ(fake.fileManagerSelection.asked, QStringList{"Thunar"});

    fake.fileManagerSelection.selections[QStringLiteral("Thunar")] = files;
    delegate->routeSelection({QStringLiteral("rule-b")});
    delegate->routeSelection({QStringLiteral("rule-other")});
    EXPECT_EQ(fake.alerts.beeps, 1);
    // A selection sent by a file manager action is cleaned and routed the same
    // way: duplicates, a missing file, a folder and an unclean spelling of a real one.
    const QUrl missing = QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone.org")));
    const QUrl folder = QUrl::fromLocalFile(dir.path());
    const QUrl unclean = QUrl::fromLocalFile(dir.path() + QStringLiteral("/./x/../one.org"));
    fake.fileManagerSelection.asked.clear();
    delegate->routeGivenSelection({unclean, missing, files[0], folder, files[1]},
                                  {QStringLiteral("rule-b")});
    delegate->routeGivenSelection({missing, folder}, {QStringLiteral("rule-b")});
    EXPECT_EQ(fake.alerts.beeps, 2);
    EXPECT_EQ(opened(), (QList<FakeWorkspace::OpenCall>{{files, FakeWorkspace::locationOf(beta)},
                                                        {files, FakeWorkspace::locationOf(alpha)},
                                                        {files, FakeWorkspace::locationOf(beta)}}));
    // The frontmost file manager is not asked: the action said what is selected.
    EXPECT_TRUE(fake.fileManagerSelection.asked.isEmpty());
}

TEST_F(DelegateSelection, FlagsRebuildTheResolverAndScriptModeRunsOnlyTheHelper) {
    fake.accessibilitySelection.trusted = true;
    fake.accessibilitySelection.urls = {files[1]};
    fake.fileManagerSelection.selections[QStringLiteral("Thunar")] = {files[0]};
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), QList<QUrl>{files[1]});

    // The accessibility flag's meaning is the resolver's tests' matter; script
    // mode's is here: nothing until a helper runner is set, and never a key.
    delegate->setAllowsAccessibilitySelection(false);
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), QList<QUrl>{files[0]});
    delegate->setUsesApplicationScriptsSelection(true);
    fake.fileManagerSelection.asked.clear();
    EXPECT_TRUE(delegate->selectionResolver().selectedFileURLs().isEmpty());
    QStringList ran;
    delegate->setSelectionScriptRun([&](const ScriptableFileManager& manager) {
        ran.append(manager.scriptFileName);
        return QList<QUrl>{files[1], files[1], files[0]};
    });
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), (QList<QUrl>{files[1], files[0]}));
    EXPECT_EQ(ran, QStringList{"GetThunarSelection"});
    EXPECT_TRUE(fake.fileManagerSelection.asked.isEmpty());
}

} // namespace
