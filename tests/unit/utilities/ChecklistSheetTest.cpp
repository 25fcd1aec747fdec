#include "core/model/RouteStore.h"
#include "core/platform/PlatformTexts.h"
#include "core/utilities/ExternalUtilityChecklistSheet.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WidgetTest.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a toggle reports is seen in the route it is stored in (the last test).
class ChecklistSheetTest : public WidgetTest {};

TEST_F(ChecklistSheetTest, RowsAreTickedByTheRouteAndFollowTheToggles) {
    auto* sheet = new ExternalUtilityChecklistSheet(ExternalUtilityKind::shortcut, "markdown",
                                                    {{"A-1", "Alpha"}, {"B-2", "Beta"}},
                                                    std::nullopt, {"B-2", "gone"}, {});
    QPointer<ExternalUtilityChecklistSheet> alive(sheet);
    sheet->presentSheet();
    EXPECT_EQ(sheet->windowTitle(), "Run Shortcuts");
    auto* list = sheet->findChild<QListWidget*>("utilitiesListWidget");
    auto* empty = sheet->findChild<QLabel*>("emptyLabel");
    ASSERT_TRUE(list && empty);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(empty->isVisible());
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Alpha");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(0)->toolTip(), "Offer Alpha in the picker and the tray menu");

    list->item(0)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(sheet->enabledIDs(), (QSet<QString>{"A-1", "gone"}));

    // Return is Done: the sheet closes and goes away.
    QTest::keyClick(sheet, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ChecklistSheetTest, WithoutEntriesTheMessageShowsInsteadOfTheList) {
    const struct {
        ExternalUtilityKind kind;
        std::optional<QString> error;
        QString title, text;
    } cases[] = {
        {ExternalUtilityKind::script, std::nullopt, "Run Scripts", "No items found."},
        {ExternalUtilityKind::service, "Nothing here.", PlatformTexts::text("Run Services"),
         "Nothing here."},
    };
    for (const auto& c : cases) {
        ExternalUtilityChecklistSheet sheet(c.kind, "markdown", {}, c.error, {}, {});
        sheet.setAttribute(Qt::WA_DeleteOnClose, false);
        sheet.presentSheet();
        EXPECT_EQ(sheet.windowTitle(), c.title);
        EXPECT_FALSE(sheet.findChild<QListWidget*>()->isVisible());
        auto* empty = sheet.findChild<QLabel*>("emptyLabel");
        EXPECT_TRUE(empty->isVisible());
        EXPECT_EQ(empty->text(), c.text);
        sheet.close();
    }
}

TEST_F(ChecklistSheetTest, TheSettingsButtonsScanNowAndStoreEachChangeInTheRoute) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    // Executable: listed without osascript, as a program of its own.
    writeFile(home.filePath("data/Corvanta/Scripts/Sub/Mail.applescript"), {}, true);
    FakePlatform fake;
    RouteStore store(fake.types, fake.workspace, home.filePath("routes.json"));
    QWidget window;
    auto* sheet = ExternalUtilityChecklistSheet::present(&window, ExternalUtilityKind::script,
                                                         "markdown", store, fake.processes, false);
    auto* list = sheet->findChild<QListWidget*>();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    list->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(store.routeWithID("markdown")->enabledScripts,
              (QList<EnabledScriptUtility>{{"Sub/Mail.applescript", "Mail"}}));
    sheet->close();

    // Shortcuts come from the tool; ticked ones stay ticked when it opens again.
    ProcessResult& listed = fake.processes.results["/usr/bin/shortcuts"];
    listed.exitCode = 0;
    listed.standardOutput = "Resize (R-1)\n";
    store.setExternalUtilityEnabled("markdown", ExternalUtilityKind::shortcut, "R-1", "Resize",
                                    true);
    sheet = ExternalUtilityChecklistSheet::present(nullptr, ExternalUtilityKind::shortcut,
                                                   "markdown", store, fake.processes, false);
    list = sheet->findChild<QListWidget*>();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(store.routeWithID("markdown")->enabledShortcuts.isEmpty());
    sheet->close();
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
