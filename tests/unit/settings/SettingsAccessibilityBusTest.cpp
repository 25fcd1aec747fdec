// What a screen reader hears from the settings window, read from the real
// accessibility bus (AT-SPI) as Orca reads it: Qt names a pop-up by its value
// there, so what it is must come from a label relation; list rows need text.
#include "core/settings/RuleRowView.h"
#include "tests/support/AtspiTree.h"
#include "tests/unit/settings/SettingsTestSupport.h"

namespace {
class SettingsAccessibilityBusTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        WidgetTest::SetUpTestSuite();
    }
    // Everything the accessibility bus says about this process.
    static QList<Heard> hear() {
        return AtspiTree().application(QCoreApplication::applicationName());
    }
    // The labels, or names, of every node of `role`.
    static QStringList of(const QList<Heard>& heard, const char* role, bool labels) {
        QStringList out;
        for (const Heard& h : heard)
            if (h.role == QLatin1String(role))
                out += labels ? h.labels : QStringList{h.name};
        return out;
    }
};
} // namespace

TEST_F(SettingsAccessibilityBusTest, PopUpsAreLabelledRowsAndTilesSpeak) {
    SettingsWorld world;
    Route org = orgRoute();
    org.editors[0].name = QStringLiteral("<font size=40>X</font>");
    org.defaultActionKind = RuleActionKind::selectFromAllEditors;
    world.open({org});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(world.window.get()));
    world.window->permissionTiles()->refresh();
    auto* rules = world.child<QListWidget>(QStringLiteral("rulesTableView"));
    QStringList summaries;
    for (int row = 0; row < rules->count(); ++row)
        summaries.append(
            static_cast<RuleRowView*>(rules->itemWidget(rules->item(row)))->summaryLabel()->text());
    rules->setCurrentRow(rules->count() - 1);
    world.click(QStringLiteral("editRuleButton"));
    ASSERT_TRUE(world.window->defaultRuleSheet());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(world.window->defaultRuleSheet()));
    world.click(QStringLiteral("addRuleButton"));
    ASSERT_TRUE(world.window->ruleSheet());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(world.window->ruleSheet()));

    // Qt joins the bus once it has its address, a moment after starting.
    QList<Heard> heard;
    for (int i = 0; i < 50 && heard.isEmpty(); ++i) {
        QTest::qWait(100);
        heard = hear();
    }
    ASSERT_FALSE(heard.isEmpty()) << "Corvanta is not on the accessibility bus";
    const QStringList comboLabels = of(heard, "combo box", true);
    for (const char* label : {"File type:", "Terminal:", "Mode:", "Fallback editor:", "When",
                              "Then", "Condition type", "Operator"})
        EXPECT_TRUE(comboLabels.contains(QString::fromUtf8(label))) << label;
    const QStringList rows = of(heard, "list item", false);
    summaries.append(org.editors[0].name);
    for (const QString& row : std::as_const(summaries))
        EXPECT_TRUE(rows.contains(row)) << row.toStdString();
    const QString automation = QStringLiteral("AUTOMATION: ") +
                               world.window->permissionTiles()->automationStatus()->text();
    EXPECT_TRUE(of(heard, "label", false).contains(automation)) << automation.toStdString();
}
