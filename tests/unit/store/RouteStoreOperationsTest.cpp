#include "tests/support/StoreTestSupport.h"

namespace {
using enum ExternalUtilityKind;

struct Operation {
    const char* name;
    std::function<void(RouteStore&, const QString& routeID)> run;
};

// Every change, applied to the route named by the caller.
const QList<Operation> allOperations{
    {"setEnabled", [](auto& s, auto& r) { s.setEnabled(r, alpha, false); }},
    {"setAllEditorsEnabled", [](auto& s, auto& r) { s.setAllEditorsEnabled(r, false); }},
    {"setUtilityEnabled",
     [](auto& s, auto& r) { s.setUtilityEnabled(r, PickerUtilityKind::copyPOSIXPath, false); }},
    {"setTerminalBundleID", [](auto& s, auto& r) { s.setTerminalBundleID(r, "kitty"); }},
    {"setExternalUtilityEnabled",
     [](auto& s, auto& r) { s.setExternalUtilityEnabled(r, shortcut, "S", "S", true); }},
    {"setScriptUtilityEnabled",
     [](auto& s, auto& r) { s.setScriptUtilityEnabled(r, "a/b.sh", "b", true); }},
    {"toggleFolder", [](auto& s, auto& r) { s.toggleFolder(r, alpha); }},
    {"setURLSchemeTemplate", [](auto& s, auto& r) { s.setURLSchemeTemplate(r, alpha, "x:"); }},
    {"addEditor", [](auto& s, auto& r) { s.addEditor(r, "com.example.New", "New"); }},
    {"removeEditor", [](auto& s, auto& r) { s.removeEditor(r, alpha); }},
    {"setDefaultActionKind",
     [](auto& s, auto& r) { s.setDefaultActionKind(r, RuleActionKind::selectFromAllEditors); }},
    {"setDefaultOpenBundleIDs", [](auto& s, auto& r) { s.setDefaultOpenBundleIDs(r, {alpha}); }},
    {"upsertRule", [](auto& s, auto& r) { s.upsertRule(r, makeRule("R9", alpha)); }},
    {"removeRule", [](auto& s, auto& r) { s.removeRule(r, "R1"); }},
    {"moveRule", [](auto& s, auto& r) { s.moveRule(r, 0, 2); }},
    {"setRuleEnabled", [](auto& s, auto& r) { s.setRuleEnabled(r, "R1", false); }},
    {"setDefaultPreferenceOrder", [](auto& s, auto& r) { s.setDefaultPreferenceOrder(r, {beta}); }},
    {"setActiveBundleID", [](auto& s, auto& r) { s.setActiveBundleID(r, alpha); }},
    {"rescan", [](auto& s, auto& r) { s.rescan(r); }},
    {"removeCustomRoute", [](auto& s, auto& r) { s.removeCustomRoute(r); }},
    {"addTypeToRoute", [](auto& s, auto& r) { s.addTypeToRoute(r, "zz", "text/x-zz"); }},
};

// A route with two manual editors (Beta active) and three rules.
class OperationsTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        reopen();
    }
    void reopen() {
        // Sorts after the built-in routes: a change made to the first route shows.
        Route route = makeCustomRoute("custom.a", "Zeta type", "a");
        route.editors = {{alpha, "Alpha", false, true, true, std::nullopt},
                         {beta, "Beta", false, true, true, std::nullopt}};
        route.activeBundleID = beta;
        route.rules = {makeRule("R1", beta), makeRule("R2", alpha), makeRule("R3", alpha)};
        writeRoutes({route});
        store = open();
        notifications = 0;
        store->addChangeHandler([this] { ++notifications; });
    }
    Route route() const { return *store->routeWithID("custom.a"); }
    // Runs `op` and tells whether the routes file was replaced.
    bool rewrites(const std::function<void(RouteStore&, const QString&)>& op, const QString& id) {
        ageFile(path());
        const FileStamp before = stampOf(path());
        op(*store, id);
        return stampOf(path()) != before;
    }

    std::unique_ptr<RouteStore> store;
    int notifications = 0;
};
} // namespace

TEST_F(OperationsTest, EveryOperationWritesMemoryToFileAndNothingForAnUnknownRoute) {
    for (const Operation& op : allOperations) {
        SCOPED_TRACE(op.name);
        reopen();
        const QList<Route> before = store->routes();
        EXPECT_FALSE(rewrites(op.run, "custom.unknown"));
        EXPECT_EQ(store->routes(), before);
        EXPECT_EQ(notifications, 0);
        EXPECT_TRUE(rewrites(op.run, "custom.a"));
        EXPECT_EQ(readState().routes, store->routes());
        EXPECT_EQ(notifications, 1);
    }
}

TEST_F(OperationsTest, UnmetPreconditionsChangeAndWriteNothing) {
    const QList<Operation> noOps{
        {"add listed editor", [](auto& s, auto& r) { s.addEditor(r, alpha, "Other"); }},
        {"remove discovered editor",
         [](auto& s, auto&) { s.removeEditor("markdown", "org.gnome.TextEditor"); }},
        {"move from count", [](auto& s, auto& r) { s.moveRule(r, 3, 0); }},
        {"move to count + 1", [](auto& s, auto& r) { s.moveRule(r, 0, 4); }},
        {"move from negative", [](auto& s, auto& r) { s.moveRule(r, -1, 0); }},
        {"remove built-in route", [](auto& s, auto&) { s.removeCustomRoute("markdown"); }},
    };
    const QList<Route> before = store->routes();
    for (const Operation& op : noOps) {
        EXPECT_FALSE(rewrites(op.run, "custom.a")) << op.name;
        EXPECT_EQ(store->routes(), before) << op.name;
    }
    EXPECT_EQ(notifications, 0);
}

TEST_F(OperationsTest, ActiveEditorFollowsEnabledEditors) {
    store->setEnabled("custom.a", beta, false);
    EXPECT_EQ(route().activeBundleID, alpha) << "the first enabled editor takes over";
    EXPECT_EQ(route().rules[0].action.effectiveBundleIDs(), QStringList()) << "rule kept, purged";
    store->setEnabled("custom.a", alpha, false);
    EXPECT_FALSE(route().activeBundleID.has_value());
    store->setActiveBundleID("custom.a", QStringLiteral("com.removed"));
    store->setAllEditorsEnabled("custom.a", true);
    EXPECT_EQ(route().activeBundleID, alpha);
    store->removeEditor("custom.a", alpha); // manual, so it may go
    EXPECT_EQ(RuleBuilders::idsOf(route().editors), QStringList{beta});
    EXPECT_EQ(route().activeBundleID, beta);
}

// `to` names the gap before that index, as a drop between rows does. (A rule
// upserted in place: the settings window's sheets.)
TEST_F(OperationsTest, RulesMoveToAGap) {
    const struct {
        qsizetype from, to;
        const char* expected;
    } moves[] = {{0, 3, "R2 R3 R1"}, {0, 1, "R1 R2 R3"}, {2, 0, "R3 R1 R2"}, {2, 1, "R1 R3 R2"}};
    for (const auto& [from, to, expected] : moves) {
        reopen();
        store->moveRule("custom.a", from, to);
        QStringList ids;
        for (const Rule& rule : route().rules)
            ids.append(rule.id);
        EXPECT_EQ(ids.join(' '), expected) << from << " -> " << to;
    }
}

TEST_F(OperationsTest, ReadOnlyStoreDecidesLikeTheOwnerButRefusesEveryChange) {
    QList<Operation> operations = allOperations;
    operations.append({"addCustomRoute", [](auto& s, auto&) {
                           s.addCustomRoute({"zq", "text/x-zq", "ZQ file"});
                       }});
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        reopen();
        ageFile(path());
        const FileStamp before = stampOf(path());
        RouteStore readOnly(fake.types, fake.workspace, path(), RouteStore::Access::readOnly);
        EXPECT_EQ(readOnly.routes(), store->routes()) << "the same routes as the owner";
        int changes = 0;
        readOnly.addChangeHandler([&changes] { ++changes; });
        op.run(readOnly, "custom.a");
        EXPECT_EQ(readOnly.routes(), store->routes());
        EXPECT_FALSE(readOnly.save());
        EXPECT_EQ(stampOf(path()), before) << "not even rewritten in the current format";
        EXPECT_EQ(changes, 0);
    }
}

TEST_F(OperationsTest, ChangesFromOutsideAreReloadedAndOwnWritesAreNot) {
    QList<RouteStore::Reload> reloads;
    store->setReloadHandler([&reloads](RouteStore::Reload r) { reloads.append(r); });
    store->setActiveBundleID("custom.a", alpha);
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::unchanged) << "its own write";

    // A hand edit adds a rule; the next change is made on top of it, even
    // before anything watching the file has noticed.
    Route edited = route();
    edited.rules.append(makeRule("R7", alpha));
    replaceFile(path(), encodedRoutes({edited}));
    notifications = 0;
    store->setRuleEnabled("custom.a", "R1", false);
    EXPECT_EQ(reloads, QList<RouteStore::Reload>{RouteStore::Reload::reloaded});
    EXPECT_EQ(notifications, 2) << "the reload, then the change";
    ASSERT_EQ(readState().routes.size(), 3);
    const Route written = *store->routeWithID("custom.a");
    EXPECT_EQ(written.rules.size(), 4);
    EXPECT_FALSE(written.rules[0].enabled);
    EXPECT_EQ(readState().routes, store->routes());

    // Rewriting the same routes is a reload without a change.
    notifications = 0;
    replaceFile(path(), stampOf(path()).bytes);
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::reloaded);
    EXPECT_EQ(notifications, 0);

    // A removed file brings back the built-in routes, and is not written back at once.
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::reloaded);
    EXPECT_EQ(routeIDs(store->routes()), (QList<QString>{"markdown", "plaintext"}));
    EXPECT_FALSE(QFileInfo::exists(path()));
    EXPECT_EQ(notifications, 1);
}

TEST_F(OperationsTest, DamagedEditKeepsTheRoutesAndIsNeverWrittenOverUntilRepaired) {
    QList<RouteStore::Reload> reloads;
    store->setReloadHandler([&reloads](RouteStore::Reload r) { reloads.append(r); });
    const QList<Route> before = store->routes();
    const QByteArray damaged = "{ \"routes\": [ oops";
    replaceFile(path(), damaged);
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::failed);
    EXPECT_TRUE(store->loadFailed());
    EXPECT_EQ(store->loadFailureMessage(),
              "Could not read saved settings (line 1, column 15: illegal number). The file was "
              "left unchanged; using built-in defaults for this session.");
    EXPECT_EQ(store->routes(), before);
    for (const Operation& op : allOperations) {
        op.run(*store, "custom.a");
        EXPECT_EQ(stampOf(path()).bytes, damaged) << op.name;
    }
    // Damaged again in another way: reported as still failing, not as news.
    replaceFile(path(), damaged + "]");
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::stillFailing);
    EXPECT_EQ(stampOf(path()).bytes, damaged + "]");

    // Repaired: the file's routes replace the ones changed in memory meanwhile,
    // and the next change is written again.
    Route repaired = before.last(); // the custom route
    repaired.rules = {makeRule("R8", alpha)};
    replaceFile(path(), encodedRoutes({repaired}));
    EXPECT_EQ(store->reloadIfChanged(), RouteStore::Reload::reloaded);
    EXPECT_FALSE(store->loadFailed());
    EXPECT_FALSE(store->loadFailureMessage());
    store->setRuleEnabled("custom.a", "R8", false);
    ASSERT_EQ(readState().routes.size(), 3);
    EXPECT_EQ(readState().routes, store->routes());
    EXPECT_FALSE(store->routeWithID("custom.a")->rules.at(0).enabled);
    EXPECT_EQ(reloads, (QList<RouteStore::Reload>{RouteStore::Reload::failed,
                                                  RouteStore::Reload::stillFailing,
                                                  RouteStore::Reload::reloaded}));
}

namespace {
// Discovery that, once, lets an outside edit land in the middle of a load.
class EditDuringLoad : public FakeWorkspace {
public:
    mutable std::function<void()> edit;
    QStringList editorRoleHandlers(const QString& type) const override {
        if (edit)
            std::exchange(edit, nullptr)();
        return FakeWorkspace::editorRoleHandlers(type);
    }
};
} // namespace

TEST_F(OperationsTest, AnEditLandingWhileTheStoreLoadsIsNotOverwrittenByTheLoad) {
    EditDuringLoad workspace;
    Route edited = route();
    edited.rules.append(makeRule("R7", alpha));
    const QByteArray bytes = encodedRoutes({edited});
    workspace.edit = [this, &bytes] { replaceFile(path(), bytes); };
    RouteStore loading(fake.types, workspace, path());
    EXPECT_FALSE(workspace.edit) << "the edit happened during the load";
    EXPECT_EQ(stampOf(path()).bytes, bytes) << "not written over with what was read before";
    EXPECT_TRUE(loading.lastWriteError()) << "a write that did not happen is no success";
    EXPECT_EQ(loading.reloadIfChanged(), RouteStore::Reload::reloaded);
    EXPECT_EQ(loading.routeWithID("custom.a")->rules.size(), 4);
}
