#include "tests/support/StoreTestSupport.h"

#include "core/model/EditorDiscovery.h"

namespace {
class DiscoveryTest : public ::testing::Test {
protected:
    static Route route(const QString& id, const QString& extension, const QStringList& types) {
        Route route = makeCustomRoute(id, id, extension);
        route.probeIdentifiers = types;
        return route;
    }
    void install(const QString& id, const QString& name, const QStringList& edits,
                 const QStringList& views = {}, const QStringList& schemes = {}) {
        fake.workspace.install({id, name, edits, views, schemes, {}});
    }
    Route discover(const Route& route) {
        return EditorDiscovery(fake.types, fake.workspace).rediscoverEditors(route);
    }

    FakePlatform fake;
    const Route markdown =
        route("markdown", "md", {"net.daringfireball.markdown", "public.plain-text"});
};
} // namespace

TEST_F(DiscoveryTest, EditorsAndViewersListedOnceByNameViewersDisabledCorvantaNever) {
    install("org.b.Zeta", "zeta", {"text/markdown"});
    install("org.a.Alpha", "Alpha", {"text/markdown"});
    // Edits markdown and views plain text: reported twice, listed once.
    install("org.c.Both", "both", {"text/markdown"}, {"text/plain"});
    install("org.d.Viewer", "Viewer", {}, {"text/markdown"});
    install("io.corvanta.Corvanta", "Corvanta", {"text/markdown"}, {"text/plain"});

    const QList<Editor> expected{{"org.a.Alpha", "Alpha", false, true, false, std::nullopt},
                                 {"org.c.Both", "both", false, true, false, std::nullopt},
                                 {"org.d.Viewer", "Viewer", false, false, false, std::nullopt},
                                 {"org.b.Zeta", "zeta", false, true, false, std::nullopt}};
    const Route result = discover(markdown);
    EXPECT_EQ(result.editors, expected);
    EXPECT_EQ(result.activeBundleID, "org.a.Alpha");
}

TEST_F(DiscoveryTest, StoredSettingsSurvivePerApplicationAndManualEditorsStay) {
    install("org.Example.Editor", "Fresh Name", {"text/markdown"});
    install("org.b.Beta", "Beta", {"text/markdown"});
    install("org.m.Manual", "Manual", {"text/markdown"});
    Route md = markdown;
    const Editor manual{"org.m.Manual", "My Manual", true, false, true, std::nullopt};
    md.editors = {{"org.example.EDITOR", "Stale", true, false, false, "x-ed://{path}"},
                  {"org.gone.Gone", "Gone", false, true, false, std::nullopt},
                  manual};
    md.activeBundleID = "org.gone.Gone";

    const Route result = discover(md);
    // Matched ignoring case; the uninstalled editor goes, the manual one is not doubled.
    EXPECT_EQ(
        result.editors,
        (QList<Editor>{{"org.b.Beta", "Beta", false, true, false, std::nullopt},
                       {"org.Example.Editor", "Fresh Name", true, false, false, "x-ed://{path}"},
                       manual}));
    EXPECT_EQ(result.activeBundleID, "org.b.Beta") << "the first enabled editor by name";
}

TEST_F(DiscoveryTest, HtmlRoutesListBrowsersOnce) {
    install("org.mozilla.firefox", "Firefox", {}, {}, {"http", "https"});
    install("com.example.Weblet", "Weblet", {}, {}, {"https"});
    install("org.gnome.Editor", "Editor", {"text/html"}, {}, {"http"});
    install("com.example.Mail", "Mail", {}, {}, {"mailto"});
    Route html = route("custom.text/html", "html", {});
    html.editors = {{"com.example.weblet", "Weblet", true, false, false, std::nullopt}};

    EXPECT_EQ(discover(html).editors,
              (QList<Editor>{{"org.gnome.Editor", "Editor", false, true, false, std::nullopt},
                             {"org.mozilla.firefox", "Firefox", false, true, false, std::nullopt},
                             {"com.example.Weblet", "Weblet", true, false, false, std::nullopt}}));
    EXPECT_TRUE(discover(markdown).editors.isEmpty()) << "browsers stay out of other routes";
}
