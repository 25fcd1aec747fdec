#include "core/model/EditorDiscovery.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {
class DiscoveryTest : public ::testing::Test {
protected:
    Route markdownRoute() const {
        Route route;
        route.id = "markdown";
        route.name = "Markdown";
        route.extensions = {"md"};
        route.probeIdentifiers = {"net.daringfireball.markdown"};
        route.normalizeUtilities();
        return route;
    }
    Route htmlRoute() const {
        Route route;
        route.id = "custom.text/html";
        route.name = "HTML";
        route.extensions = {"html"};
        route.normalizeUtilities();
        return route;
    }
    void install(const QString& id, const QString& name, const QStringList& edits,
                 const QStringList& views = {}, const QStringList& schemes = {}) {
        fake.workspace.install({id, name, edits, views, schemes, {}});
    }
    Route discover(const Route& route) {
        return EditorDiscovery(fake.types, fake.workspace).rediscoverEditors(route);
    }
    static const Editor* find(const Route& route, const QString& id) {
        for (const Editor& e : route.editors) {
            if (e.bundleID == id)
                return &e;
        }
        return nullptr;
    }

    FakePlatform fake;
};
} // namespace

TEST_F(DiscoveryTest, EditorsAndViewersAreListedOnceSortedByNameViewersDisabled) {
    install("org.b.Zeta", "zeta", {"text/markdown"});
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    // Edits markdown and views plain text: reported twice, listed once.
    install("org.c.Both", "both", {"text/markdown"}, {"text/plain"});
    install("org.d.Viewer", "Viewer", {}, {"text/markdown"});
    Route route = markdownRoute();
    route.probeIdentifiers.append("public.plain-text");

    const Route result = discover(route);
    QStringList names;
    for (const Editor& e : result.editors)
        names.append(e.name);
    EXPECT_EQ(names, (QStringList{"Alpha", "both", "Viewer", "zeta"}));
    EXPECT_TRUE(find(result, "org.a.Alpha")->enabled);
    EXPECT_TRUE(find(result, "org.c.Both")->enabled);
    EXPECT_FALSE(find(result, "org.d.Viewer")->enabled);
    for (const Editor& e : result.editors) {
        EXPECT_FALSE(e.manual);
        EXPECT_FALSE(e.opensFolder);
        EXPECT_FALSE(e.urlSchemeTemplate.has_value());
    }
    EXPECT_EQ(result.activeBundleID, "org.a.Alpha");
    EXPECT_EQ(result.rules, route.rules);
    EXPECT_EQ(result.extensions, route.extensions);
}

TEST_F(DiscoveryTest, SettingsSurviveARescanPerApplicationIgnoringCase) {
    install("org.Example.Editor", "Fresh Name", {"text/markdown"});
    Route route = markdownRoute();
    route.editors = {{"org.example.EDITOR", "Stale", true, false, false, "x-ed://{path}"}};
    route.activeBundleID = "org.example.EDITOR";

    const Route result = discover(route);
    ASSERT_EQ(result.editors.size(), 1);
    EXPECT_EQ(result.editors[0],
              (Editor{"org.Example.Editor", "Fresh Name", true, false, false, "x-ed://{path}"}));
    EXPECT_FALSE(result.activeBundleID.has_value()) << "the only editor is disabled";
}

TEST_F(DiscoveryTest, ManualEditorsStayAsTheyAreAndAreNotDuplicated) {
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    Route route = markdownRoute();
    const Editor manual{"org.a.Alpha", "My Alpha", true, false, true, std::nullopt};
    const Editor uninstalled{"org.gone.Gone", "Gone", false, true, true, std::nullopt};
    route.editors = {uninstalled, manual};
    route.activeBundleID = "org.gone.Gone";

    const Route result = discover(route);
    EXPECT_EQ(result.editors, (QList<Editor>{uninstalled, manual}));
    EXPECT_EQ(result.activeBundleID, "org.gone.Gone");
}

TEST_F(DiscoveryTest, UninstalledActiveEditorIsReplacedByFirstEnabledInNameOrder) {
    install("org.b.Beta", "Beta", {"text/markdown"});
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    Route route = markdownRoute();
    route.editors = {{"org.gone.Gone", "Gone", false, true, false, std::nullopt},
                     {"org.a.Alpha", "Alpha", false, false, false, std::nullopt}};
    route.activeBundleID = "org.gone.Gone";

    const Route result = discover(route);
    EXPECT_EQ(find(result, "org.gone.Gone"), nullptr);
    EXPECT_EQ(result.activeBundleID, "org.b.Beta") << "Alpha was disabled by the user";
}

TEST_F(DiscoveryTest, CorvantaNeverListsItself) {
    install("io.corvanta.Corvanta", "Corvanta", {"text/markdown", "text/html"}, {"text/plain"},
            {"http", "https"});
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    Route route = markdownRoute();
    route.probeIdentifiers.append("public.plain-text");
    EXPECT_EQ(find(discover(route), "io.corvanta.Corvanta"), nullptr);
    EXPECT_EQ(find(discover(htmlRoute()), "io.corvanta.Corvanta"), nullptr);

    fake.workspace.setOwnBundleID(std::nullopt);
    EXPECT_NE(find(discover(route), "io.corvanta.Corvanta"), nullptr)
        << "without its own identifier nothing is excluded";
}

TEST_F(DiscoveryTest, HtmlRoutesListBrowsersOnce) {
    install("org.mozilla.firefox", "Firefox", {}, {}, {"http", "https"});
    install("com.example.Weblet", "Weblet", {}, {}, {"https"});
    install("org.gnome.Editor", "Editor", {"text/html"}, {}, {"http"});
    install("com.example.Mail", "Mail", {}, {}, {"mailto"});
    Route route = htmlRoute();
    route.editors = {{"com.example.weblet", "Weblet", true, false, false, std::nullopt}};

    const Route result = discover(route);
    QStringList ids;
    for (const Editor& e : result.editors)
        ids.append(e.bundleID);
    EXPECT_EQ(ids, (QStringList{"org.gnome.Editor", "org.mozilla.firefox", "com.example.Weblet"}));
    EXPECT_TRUE(find(result, "org.mozilla.firefox")->enabled);
    EXPECT_FALSE(find(result, "com.example.Weblet")->enabled) << "the earlier entry said so";
    EXPECT_TRUE(find(result, "com.example.Weblet")->opensFolder);

    // Not an HTML route: browsers stay out.
    EXPECT_EQ(find(discover(markdownRoute()), "org.mozilla.firefox"), nullptr);
}

TEST_F(DiscoveryTest, RouteOfUnknownTypesKeepsOnlyManualEditors) {
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    Route route;
    route.id = "custom.zz";
    route.name = "ZZ";
    route.extensions = {"zz"};
    route.probeIdentifiers = {"com.unknown.zz"};
    route.editors = {{"org.a.Alpha", "Alpha", false, true, false, std::nullopt},
                     {"org.m.Manual", "Manual", false, true, true, std::nullopt}};
    const Route result = discover(route);
    ASSERT_EQ(result.editors.size(), 1);
    EXPECT_EQ(result.editors[0].bundleID, "org.m.Manual");
    EXPECT_EQ(result.activeBundleID, "org.m.Manual");
}
