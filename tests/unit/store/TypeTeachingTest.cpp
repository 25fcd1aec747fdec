#include "tests/support/StoreTestSupport.h"

#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/FileTypeProbe.h"
#include "core/model/TypeTeacher.h"

namespace {
class TeachingTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        fake.types.addType("text/x-org", {"org"}, {"text/plain"}, "Org document");
        fake.workspace.install({"org.gnu.Emacs", "Emacs", {"text/x-org"}, {}, {}, {}});
        store = open();
        teacher = std::make_unique<TypeTeacher>(*store, fake.types, fake.alerts, claimer,
                                                [this](const QString& id) { shown.append(id); });
    }
    std::optional<QString> teach(const QString& name) {
        return teacher->addTypeFromURL(QUrl::fromLocalFile(dir.filePath(name)));
    }
    void expectAlert(qsizetype index, const QString& message, const QString& informative) {
        ASSERT_GT(fake.alerts.shown.size(), index);
        EXPECT_EQ(fake.alerts.shown[index].messageText, message);
        EXPECT_EQ(fake.alerts.shown[index].informativeText, informative);
    }

    std::unique_ptr<RouteStore> store;
    DefaultHandlerClaimer claimer{fake.types, fake.workspace, fake.preferences, fake.alerts};
    QStringList shown;
    std::unique_ptr<TypeTeacher> teacher;
};
} // namespace

TEST_F(TeachingTest, OverlapKindsAndCustomRouteIDs) {
    using enum TypeOverlapKind;
    // An empty route stands for no overlap.
    const std::tuple<const char*, std::optional<QString>, QString, TypeOverlapKind> overlaps[] = {
        {"md", "net.daringfireball.markdown", "markdown", exact},
        {"md", std::nullopt, "markdown", exact},
        {"mdx", "net.daringfireball.markdown", "markdown", partial},
        {"md", "application/x-other", "markdown", partial},
        {"zz", "public.plain-text", "plaintext", partial},
        {"zz", "", "", exact},
    };
    for (const auto& [extension, id, route, kind] : overlaps) {
        const auto overlap = store->overlap(extension, id).value_or(TypeOverlap{{}, kind});
        EXPECT_EQ(overlap.route.id, route) << extension << " " << id.value_or("-").toStdString();
        EXPECT_EQ(overlap.kind, kind) << extension << " " << id.value_or("-").toStdString();
    }
    const std::tuple<std::optional<QString>, QStringList, QString> ids[] = {
        {"", {}, "custom.org"},
        {std::nullopt, {"custom.org"}, "custom.org.2"},
        {std::nullopt, {"custom.org", "custom.org.2"}, "custom.org.3"},
    };
    for (const auto& [id, existing, expected] : ids)
        EXPECT_EQ(FileTypeProbe::customRouteID("org", id, existing), expected);
}

// Whatever the alert says, the routes file and the default handlers stay as they were.
TEST_F(TeachingTest, SamplesWithoutExtensionOfAManagedTypeOrFoldersTeachNothing) {
    fake.types.recordedTypes.insert(dir.filePath("a.md"), "net.daringfireball.markdown");
    for (const QString name : {"project.md", "notes.d", "plain"}) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(name));
        fake.types.recordedTypes.insert(dir.filePath(name), "inode/directory");
    }
    const QString folder = "corvanta learns a new type from a sample file. Choose a file instead.";
    const std::tuple<const char*, std::optional<QString>, QString, QString> rows[] = {
        {"README", std::nullopt, "No file extension",
         "corvanta needs a filename extension to learn a new type."},
        {"a.md", "markdown", "Already managed", ".md is already handled by Markdown."},
        {"project.md", std::nullopt, "“project.md” is a folder", folder},
        {"notes.d", std::nullopt, "“notes.d” is a folder", folder},
        {"plain", std::nullopt, "“plain” is a folder", folder},
    };
    const FileStamp before = stampOf(path());
    qsizetype alert = 0;
    for (const auto& [name, taught, message, informative] : rows) {
        EXPECT_EQ(teach(name), taught) << name;
        expectAlert(alert++, message, informative);
    }
    EXPECT_EQ(fake.alerts.shown.size(), alert);
    EXPECT_EQ(store->routes().size(), 2);
    EXPECT_EQ(shown, QStringList{"markdown"});
    EXPECT_TRUE(fake.workspace.defaultCalls().isEmpty());
    EXPECT_EQ(stampOf(path()), before);
}

TEST_F(TeachingTest, PartialOverlapAddsTheExtensionAfterConfirmation) {
    fake.types.recordedTypes.insert(dir.filePath("a.mdx"), "net.daringfireball.markdown");
    Route markdown = *store->routeWithID("markdown");
    fake.alerts.answers = {1};
    EXPECT_EQ(teach("a.mdx"), std::nullopt);
    EXPECT_EQ(store->routeWithID("markdown"), markdown) << "cancelled";

    EXPECT_EQ(teach("a.mdx"), "markdown");
    expectAlert(1, "Add to Markdown?",
                "Add .mdx / net.daringfireball.markdown to the existing Markdown route?");
    EXPECT_EQ(fake.alerts.shown[1].buttons, (QStringList{"Add", "Cancel"}));
    markdown.extensions.append("mdx");
    EXPECT_EQ(store->routeWithID("markdown"), markdown);
    EXPECT_EQ(fake.workspace.defaultCalls(), QStringList{"text/markdown"});
    EXPECT_EQ(shown, QStringList{"markdown"});
}

TEST_F(TeachingTest, NewTypeBecomesACustomRouteAfterConfirmation) {
    fake.alerts.answers = {1};
    EXPECT_EQ(teach("NOTES.ORG"), std::nullopt);
    EXPECT_EQ(store->routes().size(), 2) << "cancelled";

    EXPECT_EQ(teach("NOTES.ORG"), "custom.text/x-org");
    expectAlert(1, "Add file type?",
                "Teach corvanta to route Org document files (.org)?\nUTI: text/x-org\n\n"
                "You'll pick an editor in Settings.");
    EXPECT_EQ(fake.alerts.shown[1].buttons, (QStringList{"Add Type", "Cancel"}));
    const Route route = *store->routeWithID("custom.text/x-org");
    EXPECT_EQ(route.name, "Org document");
    EXPECT_EQ(route.extensions, QStringList{"org"});
    EXPECT_EQ(RuleBuilders::idsOf(route.editors), QStringList{"org.gnu.Emacs"});
    EXPECT_EQ(route.activeBundleID, "org.gnu.Emacs");
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_EQ(fake.workspace.defaultCalls(), QStringList{"text/x-org"});
    EXPECT_EQ(shown, QStringList{"custom.text/x-org"});

    // Without a known type there is no type line and nothing to claim.
    EXPECT_EQ(teach("data.qqq"), "custom.qqq");
    expectAlert(2, "Add file type?",
                "Teach corvanta to route .qqq files (.qqq)?\n\nYou'll pick an editor in Settings.");
    EXPECT_EQ(fake.workspace.defaultCalls(), QStringList{"text/x-org"});
}

TEST_F(TeachingTest, ClaimerSkipsLinkTypesAndExplainsRefusals) {
    fake.types.addType("text/uri-list", {}, {"text/plain"}, "URI list");
    fake.types.addType("public.url", {}, {"application/octet-stream"}, "URL");
    EXPECT_EQ(
        claimer.claimableContentTypes({"text/plain", "text/uri-list", "x-scheme-handler/https",
                                       "application/octet-stream", "text/x-org"}),
        (QStringList{"text/plain", "text/x-org"}));

    fake.workspace.defaultFailures.insert("text/x-org", "Permission denied");
    fake.workspace.defaultFailures.insert("text/html", "refused");
    fake.workspace.schemeDefaults.insert("https", "org.mozilla.firefox");
    claimer.claimDefaultHandler({"text/x-org", "text/uri-list", "text/html", "text/plain"});
    EXPECT_EQ(fake.workspace.defaultCalls(),
              (QStringList{"text/x-org", "text/html", "text/plain"}));
    EXPECT_EQ(fake.preferences.string(PreferenceKeys::browserHandoffBundleID),
              "org.mozilla.firefox");
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    expectAlert(0, "Could not claim text/x-org", "Permission denied");
    expectAlert(
        1, "Could not claim text/html",
        "This desktop treats HTML files as part of the default web browser setting. Keeping your "
        "current browser means Corvanta will not receive double-clicked HTML files. You can still "
        "drop them on Corvanta or use Open With. To route double-clicks, make Corvanta the default "
        "application for HTML files in your desktop's settings; web links are passed back to your "
        "browser.");
}
