#include "StoreTestSupport.h"

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
        claimer = std::make_unique<DefaultHandlerClaimer>(fake.types, fake.workspace,
                                                          fake.preferences, fake.alerts);
        teacher = std::make_unique<TypeTeacher>(*store, fake.types, fake.alerts, *claimer,
                                                [this](const QString& id) { shown.append(id); });
    }
    std::optional<QString> teach(const QString& name) {
        return teacher->addTypeFromURL(QUrl::fromLocalFile(dir.filePath(name)));
    }
    QStringList claimedTypes() const {
        QStringList types;
        for (const auto& call : fake.workspace.defaultCalls())
            types.append(call.type);
        return types;
    }
    void expectAlert(qsizetype index, const QString& message, const QString& informative) {
        ASSERT_GT(fake.alerts.shown.size(), index);
        EXPECT_EQ(fake.alerts.shown[index].messageText, message);
        EXPECT_EQ(fake.alerts.shown[index].informativeText, informative);
    }

    std::unique_ptr<RouteStore> store;
    std::unique_ptr<DefaultHandlerClaimer> claimer;
    std::unique_ptr<TypeTeacher> teacher;
    QStringList shown;
};
} // namespace

TEST_F(TeachingTest, ProbeReadsExtensionTypeAndDescription) {
    FileTypeProbe probe(fake.types);
    fake.types.setRecordedContentType(dir.filePath("notes.txt"), "text/markdown");
    const QList<std::pair<QString, SampleType>> cases{
        {"NOTES.ORG", {"org", "text/x-org", "Org document"}},
        {"a.b.MD", {"md", "text/markdown", "Markdown document"}},
        {"data.qqq", {"qqq", std::nullopt, ".qqq"}},
        {"notes.txt", {"txt", "text/markdown", "Markdown document"}}, // the recorded type wins
    };
    for (const auto& [file, expected] : cases) {
        const auto result = probe.probe(QUrl::fromLocalFile(dir.filePath(file)));
        ASSERT_TRUE(std::holds_alternative<SampleType>(result)) << file.toStdString();
        EXPECT_EQ(std::get<SampleType>(result), expected) << file.toStdString();
    }
    for (const char* name : {"README", "dir.d/README", "trailing."})
        EXPECT_TRUE(std::holds_alternative<FileTypeProbeError>(
            probe.probe(QUrl::fromLocalFile(dir.filePath(name)))))
            << name;
}

TEST_F(TeachingTest, OverlapKinds) {
    struct Case {
        const char* extension;
        std::optional<QString> identifier;
        std::optional<QString> route;
        TypeOverlapKind kind;
    };
    const QList<Case> cases{
        {"md", QString("net.daringfireball.markdown"), "markdown", TypeOverlapKind::exact},
        {"md", QString("text/markdown"), "markdown", TypeOverlapKind::exact},
        {"md", std::nullopt, "markdown", TypeOverlapKind::exact},
        {"md", QString(""), "markdown", TypeOverlapKind::exact},
        {"mdx", QString("net.daringfireball.markdown"), "markdown", TypeOverlapKind::partial},
        {"md", QString("application/x-other"), "markdown", TypeOverlapKind::partial},
        {"zz", QString("public.plain-text"), "plaintext", TypeOverlapKind::partial},
        {"zz", QString(""), std::nullopt, {}},
        {"MD", std::nullopt, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + c.identifier.value_or("-").toStdString());
        const auto overlap = store->overlap(c.extension, c.identifier);
        EXPECT_EQ(overlap ? std::optional(overlap->route.id) : std::nullopt, c.route);
        EXPECT_EQ(overlap ? overlap->kind : c.kind, c.kind);
    }
}

TEST_F(TeachingTest, CustomRouteIDsCountUpFromTwoWhenTaken) {
    struct Case {
        std::optional<QString> identifier;
        QStringList existing;
        QString expected;
    };
    const QList<Case> cases{
        {QString("text/x-org"), {}, "custom.text/x-org"},
        {QString(""), {}, "custom.org"},
        {std::nullopt, {"custom.org"}, "custom.org.2"},
        {std::nullopt, {"custom.org", "custom.org.2"}, "custom.org.3"},
        {std::nullopt, {"custom.org.2"}, "custom.org"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileTypeProbe::customRouteID("org", c.identifier, c.existing), c.expected);

    writeRoutes({makeCustomRoute("custom.qqq", "Q one", "q1"),
                 makeCustomRoute("custom.qqq.2", "Q two", "q2")});
    store = open();
    EXPECT_EQ(store->addCustomRoute({"qqq", std::nullopt, ".qqq"})->id, "custom.qqq.3");
    EXPECT_FALSE(store->addCustomRoute({"qqq", std::nullopt, ".qqq"}))
        << "an overlapping sample creates nothing";
}

TEST_F(TeachingTest, SampleWithoutExtensionOrOfAManagedType) {
    fake.types.setRecordedContentType(dir.filePath("a.md"), "net.daringfireball.markdown");
    const FileStamp before = stampOf(path());
    EXPECT_EQ(teach("README"), std::nullopt);
    expectAlert(0, "No file extension", "corvanta needs a filename extension to learn a new type.");
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(teach("a.md"), "markdown");
    expectAlert(1, "Already managed", ".md is already handled by Markdown.");
    EXPECT_EQ(shown, QStringList{"markdown"});
    EXPECT_TRUE(claimedTypes().isEmpty());
    EXPECT_EQ(stampOf(path()), before);
}

TEST_F(TeachingTest, PartialOverlapAddsTheExtensionAfterConfirmation) {
    fake.types.setRecordedContentType(dir.filePath("a.mdx"), "net.daringfireball.markdown");
    const Route markdownBefore = *store->routeWithID("markdown");
    fake.alerts.answers = {1};
    EXPECT_EQ(teach("a.mdx"), std::nullopt);
    EXPECT_EQ(store->routeWithID("markdown"), markdownBefore) << "cancelled";

    EXPECT_EQ(teach("a.mdx"), "markdown");
    expectAlert(1, "Add to Markdown?",
                "Add .mdx / net.daringfireball.markdown to the existing Markdown route?");
    EXPECT_EQ(fake.alerts.shown[1].buttons, (QStringList{"Add", "Cancel"}));
    EXPECT_EQ(fake.alerts.shown[1].cancelButton, 1);
    const Route route = *store->routeWithID("markdown");
    EXPECT_EQ(route.extensions, markdownBefore.extensions + QStringList{"mdx"});
    EXPECT_EQ(route.probeIdentifiers, markdownBefore.probeIdentifiers);
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_EQ(claimedTypes(), QStringList{"text/markdown"});
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
    EXPECT_EQ(route.probeIdentifiers, QStringList{"text/x-org"});
    EXPECT_TRUE(route.isCustom);
    EXPECT_EQ(editorIDs(route), QStringList{"org.gnu.Emacs"});
    EXPECT_EQ(route.activeBundleID, "org.gnu.Emacs");
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_EQ(claimedTypes(), QStringList{"text/x-org"});
    EXPECT_EQ(shown, QStringList{"custom.text/x-org"});

    // Without a known type there is no type line and nothing to claim.
    EXPECT_EQ(teach("data.qqq"), "custom.qqq");
    expectAlert(2, "Add file type?",
                "Teach corvanta to route .qqq files (.qqq)?\n\nYou'll pick an editor in Settings.");
    EXPECT_EQ(claimedTypes(), QStringList{"text/x-org"});
}

TEST_F(TeachingTest, ClaimerSkipsLinkTypesAndExplainsRefusals) {
    fake.types.addType("text/uri-list", {}, {"text/plain"}, "URI list");
    fake.types.addType("public.url", {}, {"application/octet-stream"}, "URL");
    EXPECT_EQ(claimer->claimableContentTypes({"text/plain", "text/uri-list", "public.file-url",
                                              "x-scheme-handler/https", "application/octet-stream",
                                              "public.data", "text/x-org"}),
              (QStringList{"text/plain", "text/x-org"}));

    fake.workspace.refuseDefaultFor("text/x-org", "Permission denied");
    fake.workspace.refuseDefaultFor("text/html", "refused");
    fake.workspace.setDefaultForScheme("https", "org.mozilla.firefox");
    claimer->claimDefaultHandler({"text/x-org", "text/uri-list", "text/html", "text/plain"});
    EXPECT_EQ(claimedTypes(), (QStringList{"text/x-org", "text/html", "text/plain"}));
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

TEST_F(TeachingTest, ClaimerKeepsTheRememberedBrowserAndNeedsAnInstalledCorvanta) {
    fake.preferences.setString(PreferenceKeys::browserHandoffBundleID, QString("org.old"));
    fake.workspace.setDefaultForScheme("https", "io.corvanta.Corvanta");
    claimer->claimDefaultHandler({"text/html"});
    EXPECT_EQ(fake.preferences.string(PreferenceKeys::browserHandoffBundleID), "org.old");
    EXPECT_EQ(claimedTypes(), QStringList{"text/html"});

    fake.workspace.uninstall("io.corvanta.Corvanta");
    fake.workspace.setDefaultForScheme("https", "org.mozilla.firefox");
    claimer->claimDefaultHandler({"text/html", "text/plain"});
    EXPECT_EQ(claimedTypes(), QStringList{"text/html"});
    EXPECT_EQ(fake.preferences.string(PreferenceKeys::browserHandoffBundleID), "org.old");
}
