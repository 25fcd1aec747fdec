// A rule hotkey through the delegate: the resolver it owns, the beep for an
// empty selection, the hotkey names reaching the rules, and the two flags.
#include "core/model/LocalFileURL.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/AppDelegate.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"
#include "tests/support/WidgetTest.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DelegateSelection : public WidgetTest {
protected:
    void SetUp() override {
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        Route org = route(QStringLiteral("custom.org"), "Org", "org");
        org.rules = {RuleBuilders::rule(RuleBuilders::allOf({RuleBuilders::hotkey("rule-b")}),
                                        RuleBuilders::openIn({beta}))};
        const QString path = dir.filePath(QStringLiteral("routes.json"));
        writeRoutes(path, {org});
        delegate = std::make_unique<AppDelegate>(fake.platform(), pickers, utilities, path);
        for (const char* name : {"one.org", "two words.org"}) {
            const QByteArray file = QFile::encodeName(dir.filePath(name));
            QFile f(QFile::decodeName(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            files.append(LocalFileURL::fromNativePath(file));
        }
        fake.frontmost.bundleID = QStringLiteral("thunar");
    }
    QList<FakeWorkspace::OpenCall> opened() const { return fake.workspace.openCalls(); }

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    std::unique_ptr<AppDelegate> delegate;
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
    EXPECT_EQ(opened(),
              (QList<FakeWorkspace::OpenCall>{{files, FakeWorkspace::locationOf(beta)},
                                              {files, FakeWorkspace::locationOf(alpha)}}));
}

TEST_F(DelegateSelection, FlagsRebuildTheResolver) {
    fake.accessibilitySelection.trusted = true;
    fake.accessibilitySelection.urls = {files[1]};
    fake.fileManagerSelection.selections[QStringLiteral("Thunar")] = {files[0]};
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), QList<QUrl>{files[1]});

    delegate->setAllowsAccessibilitySelection(false);
    const int reads = fake.accessibilitySelection.reads;
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), QList<QUrl>{files[0]});
    EXPECT_EQ(fake.accessibilitySelection.reads, reads);

    // Script mode without a runner finds nothing and sends no keys.
    delegate->setUsesApplicationScriptsSelection(true);
    fake.fileManagerSelection.asked.clear();
    delegate->routeSelection({});
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_TRUE(fake.fileManagerSelection.asked.isEmpty());

    delegate->setSelectionScriptRun([&](const ScriptableFileManager&) {
        return QList<QUrl>{files[1], files[0]};
    });
    EXPECT_EQ(delegate->selectionResolver().selectedFileURLs(), (QList<QUrl>{files[1], files[0]}));
    EXPECT_TRUE(delegate->usesApplicationScriptsSelection());
    EXPECT_FALSE(delegate->allowsAccessibilitySelection());
}

TEST_F(DelegateSelection, SentSelectionIsCleanedAndRoutedLikeAHotkeyFire) {
    // Duplicates, a missing file, a folder and an unclean spelling of a real one.
    const QUrl missing = QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone.org")));
    const QUrl folder = QUrl::fromLocalFile(dir.path());
    const QUrl unclean = QUrl::fromLocalFile(dir.path() + QStringLiteral("/./x/../one.org"));
    delegate->routeGivenSelection({unclean, missing, files[0], folder, files[1]},
                                  {QStringLiteral("rule-b")});
    delegate->routeGivenSelection({files[1]}, {QStringLiteral("rule-other")});
    delegate->routeGivenSelection({missing, folder}, {QStringLiteral("rule-b")});
    EXPECT_EQ(fake.alerts.beeps, 1);
    EXPECT_EQ(opened(),
              (QList<FakeWorkspace::OpenCall>{{files, FakeWorkspace::locationOf(beta)},
                                              {{files[1]}, FakeWorkspace::locationOf(alpha)}}));
    // The frontmost file manager is not asked: the action said what is selected.
    EXPECT_TRUE(fake.fileManagerSelection.asked.isEmpty());
}

} // namespace
