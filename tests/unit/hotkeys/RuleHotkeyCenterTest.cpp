#include "core/hotkeys/RuleHotkeyCenter.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/StoreTestSupport.h"
#include "tests/unit/hotkeys/HotkeyTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace hotkeytest;

namespace {
Route route(const QString& id, const QList<Rule>& rules) {
    Route r = makeCustomRoute(id, id, id);
    r.rules = rules;
    return r;
}

class RuleHotkeyCenterTest : public CoreAppTest {
protected:
    // A store holding `routes` (custom types, so they can be removed), followed
    // by a center that records what it fires.
    void open(const QList<Route>& routes) {
        ASSERT_TRUE(dir.isValid());
        writeRoutes(dir.filePath(QStringLiteral("routes.json")), routes);
        store = std::make_unique<RouteStore>(fake.types, fake.workspace,
                                             dir.filePath(QStringLiteral("routes.json")));
        ASSERT_FALSE(store->loadFailed());
        center =
            std::make_unique<RuleHotkeyCenter>(fake.shortcuts, [this](const QSet<QString>& names) {
                fired.append(names);
                if (duringFire)
                    duringFire();
            });
        center->follow(*store);
    }
    void setShortcut(const QString& ruleID, const Shortcut& shortcut) {
        fake.shortcuts.setShortcut(shortcut, QStringLiteral("rule-") + ruleID);
    }
    // One key press, then the main queue runs as it would after the press.
    int press(const Shortcut& shortcut) {
        const int handlers = fake.shortcuts.press(shortcut);
        drainMainQueue();
        return handlers;
    }

    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<RouteStore> store;
    std::unique_ptr<RuleHotkeyCenter> center;
    QList<QSet<QString>> fired;
    // Runs inside each fire (a modal alert's event loop, say).
    std::function<void()> duringFire;
};

TEST(RuleHotkeyCenterNames, DescribedNamesWalkEnabledRulesAndNestedGroups) {
    Rule nested = hotkeyRule(QStringLiteral("N"));
    nested.when.predicates.clear();
    nested.when.groups = {
        RuleBuilders::allOf({hotkey("rule-N")}, {RuleBuilders::allOf({hotkey("deep")})})};

    Rule mixed = hotkeyRule(QStringLiteral("M"));
    Predicate notHotkey;
    notHotkey.kind = PredicateKind::fileName;
    notHotkey.hotkeyName = QStringLiteral("ignored"); // only hotkey conditions count
    mixed.when.predicates.prepend(notHotkey);

    Rule unnamed = hotkeyRule(QStringLiteral("U"));
    unnamed.when.predicates = {hotkey(QString()), hotkey(std::nullopt)};

    const std::tuple<const char*, QList<Route>, QSet<QString>> rows[] = {
        {"nested groups, depth first", {route("a", {nested})}, {"rule-N", "deep"}},
        {"disabled rule", {route("a", {hotkeyRule("D", false)})}, {}},
        {"empty or absent name", {route("a", {unnamed})}, {}},
        {"other condition kinds", {route("a", {mixed})}, {"rule-M"}},
        {"same name twice collapses",
         {route("a", {hotkeyRule("S")}), route("b", {hotkeyRule("S"), hotkeyRule("T")})},
         {"rule-S", "rule-T"}},
    };
    const FakeShortcutRegistry registry;
    for (const auto& [what, routes, names] : rows) {
        const QHash<QString, QString> described = RuleHotkeyCenter::descriptions(routes, registry);
        EXPECT_EQ(QSet<QString>(described.keyBegin(), described.keyEnd()), names) << what;
    }
}

TEST_F(RuleHotkeyCenterTest, DescribesEachNameByItsRouteAndFirstEnabledRule) {
    Rule named = hotkeyRule("A");
    named.name = QStringLiteral("Notes in Alpha");
    Rule disabledFirst = hotkeyRule("X", false);
    disabledFirst.when.predicates = {hotkey(QStringLiteral("rule-B"))};
    disabledFirst.name = QStringLiteral("never listed");
    Rule shared = hotkeyRule("S"); // a later rule using rule-A: the first one names it
    shared.when.predicates = {hotkey(QStringLiteral("rule-A"))};
    shared.name = QStringLiteral("second");
    Rule unnamed = hotkeyRule("B");
    unnamed.action.kind = RuleActionKind::bestRunningEditor;
    Route markdown = route("md", {disabledFirst, named, unnamed});
    markdown.name = QStringLiteral("Markdown");
    setShortcut("B", superShiftE);
    open({markdown, route("txt", {shared})});

    // An unnamed rule is described as the rules list shows it.
    EXPECT_EQ(fake.shortcuts.descriptions.value("rule-B"),
              QStringLiteral("Markdown: Hotkey Super+Shift+E → Best running editor"));

    // Renaming the first enabled rule using a name through the store renames the
    // name on the desktop.
    named.name = QStringLiteral("Drafts");
    store->upsertRule(QStringLiteral("md"), named);
    EXPECT_EQ(fake.shortcuts.descriptions.value("rule-A"), "Markdown: Drafts");
}

TEST_F(RuleHotkeyCenterTest, EachPressFiresOnceWithEveryNameOnItsKeys) {
    open({route("md", {hotkeyRule("A"), hotkeyRule("D")}),
          route("txt", {hotkeyRule("B"), hotkeyRule("C")})});
    setShortcut("A", superShiftE);
    setShortcut("B", superShiftE);
    setShortcut("C", ctrlAltF5);

    EXPECT_EQ(press(superShiftE), 2) << "both handlers run for the one press";
    ASSERT_EQ(fired.size(), 1);
    EXPECT_EQ(fired[0], (QSet<QString>{"rule-A", "rule-B"}));

    // The first routing shows an alert: its event loop runs before the second
    // handler is called.
    duringFire = [] { drainMainQueue(); };
    EXPECT_EQ(press(superShiftE), 2);
    EXPECT_EQ(fired.size(), 2) << "the same files routed twice";
    duringFire = nullptr;

    // The guard lasts for one press only.
    press(superShiftE);
    EXPECT_EQ(fired.size(), 3);
    press(ctrlAltF5);
    ASSERT_EQ(fired.size(), 4);
    EXPECT_EQ(fired[3], QSet<QString>{"rule-C"});

    // A name fired without a shortcut fires as itself, also once per press.
    center->handleFire(QStringLiteral("rule-D"));
    center->handleFire(QStringLiteral("rule-A"));
    drainMainQueue();
    ASSERT_EQ(fired.size(), 5);
    EXPECT_EQ(fired[4], QSet<QString>{"rule-D"});
}

TEST_F(RuleHotkeyCenterTest, ADisabledRuleKeepsItsShortcutAndARemovedOneTakesItAlong) {
    open({route("md", {hotkeyRule("A"), hotkeyRule("B")}),
          route("txt", {hotkeyRule("C"), hotkeyRule("D", false)}),
          route("keep", {hotkeyRule("E")})});
    setShortcut("A", ctrlAltF5);
    for (const char* id : {"B", "C", "D", "E"})
        setShortcut(id, superShiftE);

    store->setRuleEnabled("md", "A", false);
    EXPECT_EQ(center->registeredNames(), (QSet<QString>{"rule-B", "rule-C", "rule-E"}));
    press(ctrlAltF5);
    EXPECT_TRUE(fired.isEmpty());
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-A"), ctrlAltF5);
    store->setRuleEnabled("md", "A", true);
    press(ctrlAltF5);
    ASSERT_EQ(fired.size(), 1);
    EXPECT_EQ(fired[0], QSet<QString>{"rule-A"});
    // rule-B stayed registered throughout: its handler was installed once.
    EXPECT_EQ(fake.shortcuts.registrations.count("+rule-B"), 1);
    EXPECT_EQ(fake.shortcuts.registrations.count("-rule-A"), 1);

    store->removeRule("md", "A");
    EXPECT_FALSE(fake.shortcuts.getShortcut("rule-A"));
    // A removed type clears every rule it had, the disabled one included.
    store->removeCustomRoute("txt");
    EXPECT_FALSE(fake.shortcuts.getShortcut("rule-C"));
    EXPECT_FALSE(fake.shortcuts.getShortcut("rule-D"));
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-E"), superShiftE);
    EXPECT_EQ(center->registeredNames(), (QSet<QString>{"rule-B", "rule-E"}));

    // An edit that keeps the rule keeps its shortcut; a new rule registers.
    Rule edited = hotkeyRule("B");
    edited.name = QStringLiteral("renamed");
    store->upsertRule("md", edited);
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-B"), superShiftE);
    setShortcut("F", ctrlAltF5);
    store->upsertRule("keep", hotkeyRule("F"));
    press(ctrlAltF5);
    ASSERT_EQ(fired.size(), 2);
    EXPECT_EQ(fired[1], QSet<QString>{"rule-F"});
}

TEST_F(RuleHotkeyCenterTest, ARuleMissingFromAFileReadAgainKeepsItsShortcut) {
    open({route("md", {hotkeyRule("A"), hotkeyRule("B")})});
    setShortcut("A", superShiftE);
    // A hand edit (or a file on its way back) without rule A.
    writeRoutes(store->filePath(), {route("md", {hotkeyRule("B")})});
    ASSERT_EQ(store->reloadIfChanged(), RouteStore::Reload::reloaded);

    EXPECT_EQ(center->registeredNames(), QSet<QString>{"rule-B"});
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-A"), superShiftE);
    // Removed through the store, a rule still takes its shortcut along.
    setShortcut("B", ctrlAltF5);
    store->removeRule("md", "B");
    EXPECT_FALSE(fake.shortcuts.getShortcut("rule-B"));
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-A"), superShiftE);

    // A removal the store could not write leaves the rule in the file, and so its
    // hotkey. Without a free descriptor (a limit binds root too) nothing is written.
    setShortcut("C", ctrlAltF5);
    store->upsertRule("md", hotkeyRule("C"));
    const int fd = ::dup(0);
    ::close(fd);
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    const struct rlimit lowered { rlim_t(fd), old.rlim_max };
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    store->removeRule("md", "C");
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &old), 0);
    ASSERT_TRUE(store->lastWriteError());
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-C"), ctrlAltF5);

    // Nor is one made while the file on disk cannot be read: it is never written then.
    setShortcut("D", superShiftE);
    store->upsertRule("md", hotkeyRule("D"));
    ASSERT_FALSE(store->lastWriteError());
    replaceFile(store->filePath(), "{ damaged");
    ASSERT_EQ(store->reloadIfChanged(), RouteStore::Reload::failed);
    store->removeRule("md", "D");
    EXPECT_EQ(fake.shortcuts.getShortcut("rule-D"), superShiftE);
}

TEST_F(RuleHotkeyCenterTest, NothingFiresWhileARecorderIsActive) {
    open({route("md", {hotkeyRule("A")})});
    setShortcut("A", superShiftE);
    const QString key = QLatin1String(ShortcutRegistry::isActiveKey);
    // Each ending follows a recording; no flag, or one that is no Boolean, ends it too.
    for (const QVariantMap& ended :
         {QVariantMap{{key, false}}, {}, {{key, QStringLiteral("yes")}}}) {
        const qsizetype before = fired.size();
        fake.shortcuts.postRecorderActiveStatusDidChange({{key, true}});
        press(superShiftE);
        EXPECT_EQ(fired.size(), before) << "fired while recording";
        fake.shortcuts.postRecorderActiveStatusDidChange(ended);
        press(superShiftE);
        EXPECT_EQ(fired.size(), before + 1) << qPrintable(ended.value(key).toString());
    }
}

TEST_F(RuleHotkeyCenterTest, AHandlerOutlivingTheCenterDoesNothing) {
    open({route("md", {hotkeyRule("A")})});
    const ShortcutRegistry::Handler handler = fake.shortcuts.handlers.value("rule-A");
    ASSERT_TRUE(handler);
    center.reset();
    EXPECT_TRUE(fake.shortcuts.handlers.isEmpty()) << "the center removes what it installed";
    handler();
    EXPECT_TRUE(fired.isEmpty());
    // Nor does the store reach it after it is gone.
    store->removeRule("md", "A");
}
} // namespace
