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
    QUrl sample(const QString& name) { return QUrl::fromLocalFile(dir.filePath(name)); }
    QStringList claimedTypes() const {
        QStringList types;
        for (const auto& call : fake.workspace.defaultCalls())
            types.append(call.type);
        return types;
    }

    std::unique_ptr<RouteStore> store;
    std::unique_ptr<DefaultHandlerClaimer> claimer;
    std::unique_ptr<TypeTeacher> teacher;
    QStringList shown;
};
} // namespace

TEST_F(TeachingTest, ProbeReadsExtensionTypeAndDescription) {
    FileTypeProbe probe(fake.types);
    struct Case {
        QString file;
        std::optional<QString> recorded;
        SampleType expected;
    };
    const QList<Case> cases{
        {"NOTES.ORG", std::nullopt, {"org", "text/x-org", "Org document"}},
        {"a.b.MD", std::nullopt, {"md", "text/markdown", "Markdown document"}},
        {"data.qqq", std::nullopt, {"qqq", std::nullopt, ".qqq"}},
        // The recorded type wins over the extension's.
        {"notes.txt", QString("text/markdown"), {"txt", "text/markdown", "Markdown document"}},
        {"x.mdx",
         QString("net.daringfireball.markdown"),
         {"mdx", "net.daringfireball.markdown", "Markdown document"}},
    };
    for (const Case& c : cases) {
        const QUrl url = sample(c.file);
        if (c.recorded)
            fake.types.setRecordedContentType(url.toLocalFile(), *c.recorded);
        const auto result = probe.probe(url);
        ASSERT_TRUE(std::holds_alternative<SampleType>(result)) << c.file.toStdString();
        EXPECT_EQ(std::get<SampleType>(result), c.expected) << c.file.toStdString();
    }
    for (const char* name : {"README", "dir.d/README", "trailing."}) {
        const auto result = probe.probe(sample(name));
        ASSERT_TRUE(std::holds_alternative<FileTypeProbeError>(result)) << name;
    }
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
        {"mdx", QString("net.daringfireball.markdown"), "markdown", TypeOverlapKind::partial},
        {"md", QString("application/x-other"), "markdown", TypeOverlapKind::partial},
        {"md", std::nullopt, "markdown", TypeOverlapKind::exact},
        {"md", QString(""), "markdown", TypeOverlapKind::exact},
        {"zz", QString("public.plain-text"), "plaintext", TypeOverlapKind::partial},
        {"zz", QString(""), std::nullopt, TypeOverlapKind::exact},
        {"zz", std::nullopt, std::nullopt, TypeOverlapKind::exact},
        {"MD", std::nullopt, std::nullopt, TypeOverlapKind::exact},
    };
    for (const Case& c : cases) {
        const auto overlap = store->overlap(c.extension, c.identifier);
        EXPECT_EQ(overlap ? std::optional(overlap->route.id) : std::nullopt, c.route)
            << c.extension << " " << c.identifier.value_or("(none)").toStdString();
        if (overlap && c.route) {
            EXPECT_EQ(overlap->kind, c.kind) << c.extension;
        }
    }
}

TEST(CustomRouteIDTest, CountsUpFromTwoWhenTaken) {
    struct Case {
        const char* extension;
        std::optional<QString> identifier;
        QStringList existing;
        QString expected;
    };
    const QList<Case> cases{
        {"org", QString("text/x-org"), {}, "custom.text/x-org"},
        {"org", QString(""), {}, "custom.org"},
        {"org", std::nullopt, {"markdown"}, "custom.org"},
        {"org", std::nullopt, {"custom.org"}, "custom.org.2"},
        {"org", std::nullopt, {"custom.org", "custom.org.2"}, "custom.org.3"},
        {"org", std::nullopt, {"custom.org.2"}, "custom.org"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileTypeProbe::customRouteID(c.extension, c.identifier, c.existing), c.expected);
}

TEST_F(TeachingTest, SampleWithoutExtension) {
    const FileStamp before = stampOf(path());
    EXPECT_EQ(teacher->addTypeFromURL(sample("README")), std::nullopt);
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "No file extension");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              "corvanta needs a filename extension to learn a new type.");
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(stampOf(path()), before);
}

TEST_F(TeachingTest, KnownTypeIsAlreadyManaged) {
    fake.types.setRecordedContentType(dir.filePath("a.md"), "net.daringfireball.markdown");
    const FileStamp before = stampOf(path());
    EXPECT_EQ(teacher->addTypeFromURL(sample("a.md")), "markdown");
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Already managed");
    EXPECT_EQ(fake.alerts.shown[0].informativeText, ".md is already handled by Markdown.");
    EXPECT_EQ(shown, QStringList{"markdown"});
    EXPECT_TRUE(claimedTypes().isEmpty());
    EXPECT_EQ(stampOf(path()), before);
}

TEST_F(TeachingTest, PartialOverlapAddsTheExtensionAfterConfirmation) {
    fake.types.setRecordedContentType(dir.filePath("a.mdx"), "net.daringfireball.markdown");
    const QStringList identifiersBefore = store->routeWithID("markdown")->probeIdentifiers;

    fake.alerts.answers = {1};
    EXPECT_EQ(teacher->addTypeFromURL(sample("a.mdx")), std::nullopt);
    EXPECT_FALSE(store->routeWithID("markdown")->extensions.contains("mdx"));
    EXPECT_TRUE(claimedTypes().isEmpty());

    EXPECT_EQ(teacher->addTypeFromURL(sample("a.mdx")), "markdown");
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    const AlertRequest& question = fake.alerts.shown[1];
    EXPECT_EQ(question.messageText, "Add to Markdown?");
    EXPECT_EQ(question.informativeText,
              "Add .mdx / net.daringfireball.markdown to the existing Markdown route?");
    EXPECT_EQ(question.buttons, (QStringList{"Add", "Cancel"}));
    EXPECT_EQ(question.cancelButton, 1);

    const Route route = *store->routeWithID("markdown");
    EXPECT_EQ(route.extensions.last(), "mdx");
    EXPECT_EQ(route.probeIdentifiers, identifiersBefore);
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_EQ(claimedTypes(), QStringList{"text/markdown"});
    EXPECT_EQ(shown, QStringList{"markdown"});
}

TEST_F(TeachingTest, NewTypeBecomesACustomRoute) {
    fake.alerts.answers = {1};
    EXPECT_EQ(teacher->addTypeFromURL(sample("NOTES.ORG")), std::nullopt);
    EXPECT_FALSE(store->routeWithID("custom.text/x-org").has_value());

    EXPECT_EQ(teacher->addTypeFromURL(sample("NOTES.ORG")), "custom.text/x-org");
    const AlertRequest& question = fake.alerts.shown[1];
    EXPECT_EQ(question.messageText, "Add file type?");
    EXPECT_EQ(question.informativeText, "Teach corvanta to route Org document files (.org)?\n"
                                        "UTI: text/x-org\n\nYou'll pick an editor in Settings.");
    EXPECT_EQ(question.buttons, (QStringList{"Add Type", "Cancel"}));

    const Route route = *store->routeWithID("custom.text/x-org");
    EXPECT_EQ(route.name, "Org document");
    EXPECT_EQ(route.extensions, QStringList{"org"});
    EXPECT_EQ(route.probeIdentifiers, QStringList{"text/x-org"});
    EXPECT_TRUE(route.isCustom);
    EXPECT_EQ(route.utilities.size(), 3);
    EXPECT_EQ(editorIDs(route), QStringList{"org.gnu.Emacs"});
    EXPECT_EQ(route.activeBundleID, "org.gnu.Emacs");
    EXPECT_EQ(route.defaultPreferenceOrder, QStringList{"org.gnu.Emacs"});
    EXPECT_EQ(routeIDs(store->routes()),
              (QList<QString>{"markdown", "custom.text/x-org", "plaintext"}));
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_EQ(claimedTypes(), QStringList{"text/x-org"});
    EXPECT_EQ(shown, QStringList{"custom.text/x-org"});

    // Teaching the same type again finds the route.
    EXPECT_EQ(teacher->addTypeFromURL(sample("other.org")), "custom.text/x-org");
    EXPECT_EQ(fake.alerts.shown.last().messageText, "Already managed");
}

TEST_F(TeachingTest, NewTypeWithoutIdentifierHasNoTypeLine) {
    EXPECT_EQ(teacher->addTypeFromURL(sample("data.qqq")), "custom.qqq");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              "Teach corvanta to route .qqq files (.qqq)?\n\nYou'll pick an editor in Settings.");
    EXPECT_EQ(store->routeWithID("custom.qqq")->name, ".qqq");
    EXPECT_TRUE(store->routeWithID("custom.qqq")->probeIdentifiers.isEmpty());
    EXPECT_TRUE(claimedTypes().isEmpty()) << "the system knows no type to claim";
}

TEST_F(TeachingTest, SameBaseIdentifierGetsANumber) {
    writeRoutes({makeCustomRoute("custom.qqq", "Q one", "q1"),
                 makeCustomRoute("custom.qqq.2", "Q two", "q2")});
    store = open();
    const auto route = store->addCustomRoute({"qqq", std::nullopt, ".qqq"});
    ASSERT_TRUE(route.has_value());
    EXPECT_EQ(route->id, "custom.qqq.3");
    EXPECT_FALSE(store->addCustomRoute({"qqq", std::nullopt, ".qqq"}).has_value())
        << "an overlapping sample creates nothing";
    EXPECT_FALSE(store->addTypeToRoute("custom.none", "x", std::nullopt).has_value());
}

TEST_F(TeachingTest, LoadFailedStoreTeachesInMemoryOnly) {
    write("{");
    ageFile(path());
    const FileStamp before = stampOf(path());
    store = open();
    teacher = std::make_unique<TypeTeacher>(*store, fake.types, fake.alerts, *claimer,
                                            [this](const QString& id) { shown.append(id); });
    EXPECT_EQ(teacher->addTypeFromURL(sample("NOTES.ORG")), "custom.text/x-org");
    EXPECT_TRUE(store->routeWithID("custom.text/x-org").has_value());
    EXPECT_EQ(shown, QStringList{"custom.text/x-org"});
    EXPECT_EQ(stampOf(path()), before);
}

TEST_F(TeachingTest, SampleContentTypes) {
    FileTypeProbe probe(fake.types);
    EXPECT_EQ(probe.sampleContentTypes("mdx", QString("net.daringfireball.markdown")),
              QStringList{"text/markdown"});
    EXPECT_EQ(probe.sampleContentTypes("md", QString("net.daringfireball.markdown")),
              QStringList{"text/markdown"});
    EXPECT_EQ(probe.sampleContentTypes("txt", QString("text/markdown")),
              (QStringList{"text/markdown", "text/plain"}));
    EXPECT_EQ(probe.sampleContentTypes("txt", QString("com.unknown.x")), QStringList{"text/plain"});
    EXPECT_EQ(probe.sampleContentTypes("qqq", std::nullopt), QStringList());
}

TEST_F(TeachingTest, ClaimerSkipsLinkTypesAndReportsRefusals) {
    fake.types.addType("text/uri-list", {}, {"text/plain"}, "URI list");
    fake.types.addType("public.url", {}, {"application/octet-stream"}, "URL");
    const QStringList claimable = claimer->claimableContentTypes(
        {"text/plain", "text/uri-list", "public.file-url", "x-scheme-handler/https",
         "application/octet-stream", "public.data", "text/x-org"});
    EXPECT_EQ(claimable, (QStringList{"text/plain", "text/x-org"}));

    fake.workspace.refuseDefaultFor("text/x-org", "Permission denied");
    fake.workspace.refuseDefaultFor("text/html", "refused");
    fake.workspace.setDefaultForScheme("https", "org.mozilla.firefox");
    claimer->claimDefaultHandler({"text/x-org", "text/uri-list", "text/html", "text/plain"});
    EXPECT_EQ(claimedTypes(), (QStringList{"text/x-org", "text/html", "text/plain"}));
    EXPECT_EQ(fake.preferences.string(PreferenceKeys::browserHandoffBundleID),
              "org.mozilla.firefox");
    ASSERT_EQ(fake.alerts.shown.size(), 2);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Could not claim text/x-org");
    EXPECT_EQ(fake.alerts.shown[0].informativeText, "Permission denied");
    EXPECT_EQ(fake.alerts.shown[1].messageText, "Could not claim text/html");
    EXPECT_TRUE(fake.alerts.shown[1].informativeText.contains("HTML files"));
    EXPECT_FALSE(fake.alerts.shown[1].informativeText.contains("macOS"));
}

TEST_F(TeachingTest, ClaimerKeepsRememberedBrowserWhenCorvantaIsTheBrowser) {
    fake.preferences.setString(PreferenceKeys::browserHandoffBundleID, QString("org.old"));
    fake.workspace.setDefaultForScheme("https", "io.corvanta.Corvanta");
    claimer->claimDefaultHandler({"text/html"});
    EXPECT_EQ(fake.preferences.string(PreferenceKeys::browserHandoffBundleID), "org.old");
    EXPECT_EQ(claimedTypes(), QStringList{"text/html"});
}

TEST_F(TeachingTest, ClaimerDoesNothingWithoutAnInstalledCorvanta) {
    fake.workspace.uninstall("io.corvanta.Corvanta");
    EXPECT_FALSE(claimer->runsFromApplicationBundle());
    fake.workspace.setDefaultForScheme("https", "org.mozilla.firefox");
    claimer->claimDefaultHandler({"text/html", "text/plain"});
    EXPECT_TRUE(claimedTypes().isEmpty());
    EXPECT_FALSE(fake.preferences.string(PreferenceKeys::browserHandoffBundleID).has_value());
}
