#include "core/pickers/PickerCandidates.h"
#include "core/model/Route.h"
#include "core/pickers/PickerUtilityAppearance.h"

#include <gtest/gtest.h>

namespace {
Editor editor(const QString& id, const QString& name) {
    Editor e;
    e.bundleID = id;
    e.name = name;
    return e;
}

Route routeWithAllDefaults() {
    Route route;
    route.id = QStringLiteral("markdown");
    route.name = QStringLiteral("Markdown");
    for (auto kind : allPickerUtilityKinds)
        route.utilities.append(PickerUtility::makeDefault(kind));
    return route;
}

QStringList labels(const QList<PickerChoice>& choices) {
    QStringList result;
    for (const PickerChoice& c : choices)
        result.append(pickerChoiceLabel(c));
    return result;
}

TEST(PickerCandidatesTest, EditorsThenEnabledUtilitiesThenExternalsInGroupOrder) {
    Route route = routeWithAllDefaults();
    route.utilities[1].enabled = false;
    // Stored out of group order: scripts and services before shortcuts.
    route.enabledScripts = {{QStringLiteral("tools/wc.sh"), QStringLiteral("wc.sh")}};
    route.enabledServices = {{QStringLiteral("svc"), QStringLiteral("Convert")}};
    route.enabledShortcuts = {{QStringLiteral("s1"), QStringLiteral("Publish")},
                              {QStringLiteral("s2"), QStringLiteral("Archive")}};
    const QList<Editor> editors{editor(QStringLiteral("b"), QStringLiteral("Beta")),
                                editor(QStringLiteral("a"), QStringLiteral("Alpha"))};

    const QList<PickerChoice> choices = pickerCandidates(editors, route);

    EXPECT_EQ(labels(choices),
              (QStringList{"Beta", "Alpha", "Copy POSIX Path", "Open Parent in Terminal", "Publish",
                           "Archive", "Convert", "wc.sh"}));
    ASSERT_EQ(choices.size(), 8);
    EXPECT_EQ(choices[0], PickerChoice{editors[0]});
    EXPECT_EQ(choices[3], PickerChoice{route.utilities[2]});
    ASSERT_NE(choices[4].external(), nullptr);
    EXPECT_EQ(choices[4].external()->kind, ExternalUtilityKind::shortcut);
    EXPECT_EQ(choices[7].external()->kind, ExternalUtilityKind::script);
}

TEST(PickerCandidatesTest, AllUtilitiesDisabledLeavesEditorsAndExternals) {
    Route route = routeWithAllDefaults();
    for (PickerUtility& u : route.utilities)
        u.enabled = false;
    route.enabledServices = {{QStringLiteral("svc"), QStringLiteral("Convert")}};
    const QList<PickerChoice> choices =
        pickerCandidates({editor(QStringLiteral("a"), QStringLiteral("Alpha"))}, route);
    EXPECT_EQ(labels(choices), (QStringList{"Alpha", "Convert"}));
}

TEST(PickerCandidatesTest, NothingToOfferGivesNoEntries) {
    Route route = routeWithAllDefaults();
    for (PickerUtility& u : route.utilities)
        u.enabled = false;
    EXPECT_TRUE(pickerCandidates({}, route).isEmpty());
}

TEST(PickerCandidatesTest, UtilityTitlesUseTheLinuxWording) {
    EXPECT_EQ(PickerUtilityAppearance::title(PickerUtilityKind::revealInFinder),
              QStringLiteral("Reveal in File Manager"));
    EXPECT_EQ(PickerUtilityAppearance::title(PickerUtilityKind::copyPOSIXPath),
              QStringLiteral("Copy POSIX Path"));
    EXPECT_EQ(PickerUtilityAppearance::title(PickerUtilityKind::openParentInTerminal),
              QStringLiteral("Open Parent in Terminal"));
    for (auto kind : allPickerUtilityKinds)
        EXPECT_FALSE(PickerUtilityAppearance::iconNames(kind).isEmpty());
    for (auto kind : allExternalUtilityKinds) {
        EXPECT_FALSE(PickerUtilityAppearance::kindTitle(kind).isEmpty());
        EXPECT_FALSE(PickerUtilityAppearance::kindIconNames(kind).isEmpty());
    }
}
} // namespace
