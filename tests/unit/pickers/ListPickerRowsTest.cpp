#include "core/pickers/ListPickerRows.h"

#include <gtest/gtest.h>

namespace {
using Kind = ListPickerRow::Kind;

PickerChoice editor(const QString& name) {
    Editor e;
    e.bundleID = QStringLiteral("id.") + name;
    e.name = name;
    return {e};
}
PickerChoice utility(PickerUtilityKind kind) {
    return {PickerUtility::makeDefault(kind)};
}
PickerChoice shortcut(const QString& name) {
    return {ExternalUtilityRef::shortcut({QStringLiteral("s.") + name, name})};
}
PickerChoice service(const QString& name) {
    return {ExternalUtilityRef::service({QStringLiteral("v.") + name, name})};
}
PickerChoice script(const QString& name) {
    return {ExternalUtilityRef::script({name + QStringLiteral(".sh"), name})};
}

QList<Kind> kinds(const QList<ListPickerRow>& rows) {
    QList<Kind> result;
    for (const ListPickerRow& r : rows)
        result.append(r.kind);
    return result;
}

TEST(ListPickerRowsTest, SeparatorOnlyBetweenEditorsAndSomethingElse) {
    struct Case {
        const char* name;
        QList<PickerChoice> entries;
        QList<Kind> expected;
    };
    const Case cases[] = {
        {"editors only", {editor("A"), editor("B")}, {Kind::editor, Kind::editor}},
        {"utilities only", {utility(PickerUtilityKind::copyPOSIXPath)}, {Kind::utility}},
        {"externals only", {service("S")}, {Kind::submenu}},
        {"editors and externals",
         {editor("A"), script("x")},
         {Kind::editor, Kind::separator, Kind::submenu}},
        {"everything",
         {editor("A"), utility(PickerUtilityKind::copyPOSIXPath),
          utility(PickerUtilityKind::openParentInTerminal), shortcut("P")},
         {Kind::editor, Kind::separator, Kind::utility, Kind::utility, Kind::submenu}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<ListPickerRow> rows = ListPickerRows::mainRows(c.entries);
        EXPECT_EQ(kinds(rows), c.expected);
    }
}

TEST(ListPickerRowsTest, SubmenusComeInKindOrderWithTheirUtilities) {
    const QList<ListPickerRow> rows = ListPickerRows::mainRows(
        {script("late"), service("S1"), shortcut("P1"), script("early"), shortcut("P2")});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].submenuKind, ExternalUtilityKind::shortcut);
    EXPECT_EQ(rows[1].submenuKind, ExternalUtilityKind::service);
    EXPECT_EQ(rows[2].submenuKind, ExternalUtilityKind::script);
    EXPECT_EQ(rows[0].submenuItems,
              (QList<ExternalUtilityRef>{*shortcut("P1").external(), *shortcut("P2").external()}));
    EXPECT_EQ(rows[2].submenuItems.size(), 2);
    EXPECT_EQ(rows[2].submenuItems[0].name(), QStringLiteral("late"));
    EXPECT_EQ(rows[0].title(), QStringLiteral("Run Shortcuts  \u203A"));
    EXPECT_EQ(rows[2].title(), QStringLiteral("Run Scripts  \u203A"));
    EXPECT_EQ(rows[1].toolTip(), QStringLiteral("Show Run Services"));
}

TEST(ListPickerRowsTest, TitlesAndToolTipsPerKind) {
    const QList<ListPickerRow> rows =
        ListPickerRows::mainRows({editor("Kate"), utility(PickerUtilityKind::revealInFinder)});
    EXPECT_EQ(rows[0].title(), QStringLiteral("Kate"));
    EXPECT_EQ(rows[0].toolTip(),
              QStringLiteral("Open with Kate. Double-click or Return to confirm"));
    EXPECT_EQ(rows[2].title(), QStringLiteral("Reveal in File Manager"));
    EXPECT_EQ(rows[2].toolTip(),
              QStringLiteral("Reveal in File Manager. Double-click or Return to confirm"));

    const QList<ListPickerRow> child = ListPickerRows::childRows({*shortcut("Publish").external()});
    ASSERT_EQ(kinds(child), (QList<Kind>{Kind::back, Kind::external}));
    EXPECT_EQ(child[0].title(), QStringLiteral("\u2039 Back"));
    EXPECT_EQ(child[0].toolTip(), QStringLiteral("Return to the previous list"));
    EXPECT_EQ(child[1].toolTip(), QStringLiteral("Run Publish. Double-click or Return to confirm"));
    EXPECT_EQ(child[1].choice, shortcut("Publish"));
}

TEST(ListPickerRowsTest, FirstSelectableRowSkipsSeparators) {
    QList<ListPickerRow> rows(2);
    rows[1].kind = Kind::back;
    EXPECT_EQ(ListPickerRows::firstSelectableRow(rows), 1);
    EXPECT_EQ(ListPickerRows::firstSelectableRow({ListPickerRow{}}), std::nullopt);
}
} // namespace
