#include "core/hotkeys/HotkeyRecorder.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "platform/linux/PortalShortcutRegistry.h"
#include "tests/integration/FakePortal.h"
#include "tests/integration/LinuxSandbox.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

namespace {
using SandboxHelpers::waitUntil;

// Takes the portal's name once an earlier test's portal has let go of it.
bool ownPortalName(BusPeer& portal) {
    return portal.connected() &&
           waitUntil([&] { return portal.own(PortalShortcutRegistry::service); });
}

QString tablePath(const char* name) {
    return LinuxSandbox::current().root() + QStringLiteral("/portal-%1.json").arg(name);
}

const Shortcut ctrlAltK{Qt::Key_K, Qt::ControlModifier | Qt::AltModifier};
const Shortcut superShiftE{Qt::Key_E, Qt::MetaModifier | Qt::ShiftModifier};
const Shortcut f5{Qt::Key_F5, {}};

// rule-a on Ctrl+Alt+K, counting its runs in `ranA`, and rule-b on Super+Shift+E.
void handleTwoNames(PortalShortcutRegistry& registry, int& ranA) {
    registry.setShortcut(ctrlAltK, "rule-a");
    registry.setShortcut(superShiftE, "rule-b");
    registry.onKeyDown("rule-a", [&ranA] { ++ranA; });
    registry.onKeyDown("rule-b", [] {});
}

TEST(PortalShortcutRegistry, WritesTriggersInTheShortcutsFormat) {
    const struct {
        Shortcut shortcut;
        std::optional<QString> trigger;
    } cases[] = {
        {{Qt::Key_PageDown,
          Qt::MetaModifier | Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier},
         "LOGO+CTRL+ALT+SHIFT+Page_Down"},
        {{Qt::Key_Comma, Qt::ControlModifier}, "CTRL+comma"},
        {{Qt::Key_7, Qt::MetaModifier}, "LOGO+7"},
        {{Qt::Key_BracketRight, Qt::AltModifier}, "ALT+bracketright"},
        {{Qt::Key_QuoteLeft, Qt::MetaModifier}, "LOGO+grave"},
        {{Qt::Key_Space, Qt::MetaModifier}, "LOGO+space"},
        {{Qt::Key_Odiaeresis, Qt::MetaModifier}, "LOGO+odiaeresis"},
        {{Qt::Key_ssharp, Qt::ControlModifier}, "CTRL+ssharp"},
        {{Qt::Key_VolumeUp, Qt::MetaModifier}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortalShortcutRegistry::trigger(c.shortcut), c.trigger) << c.shortcut.key;
}

TEST(PortalShortcutRegistry, BindsNamedCombinationsAndRunsTheActivatedName) {
    FakePortal portal;
    ASSERT_TRUE(ownPortalName(portal));
    EXPECT_EQ(PortalShortcutRegistry::offeredVersion(2000), 1u);

    PortalShortcutRegistry registry(tablePath("bind"));
    registry.setShortcut(superShiftE, "rule-a");
    registry.setShortcut(ctrlAltK, "rule-b");
    int ranA = 0;
    int ranB = 0;
    QThread* ranOn = nullptr;
    registry.onKeyDown("rule-a", [&] { ++ranA; });
    registry.onKeyDown("rule-b", [&] {
        ++ranB;
        ranOn = QThread::currentThread();
    });
    ASSERT_TRUE(waitUntil([&] {
        return registry.grabState("rule-a") == ShortcutGrab::active &&
               registry.grabState("rule-b") == ShortcutGrab::active;
    }));
    EXPECT_EQ(portal.binds().size(), 1);
    // The answer to the binding names what the desktop holds.
    EXPECT_EQ(registry.desktopTriggerDescription("rule-b"), "CTRL+ALT+k");
    EXPECT_FALSE(registry.canRepresent({Qt::Key_VolumeUp, Qt::MetaModifier})) << "no trigger";

    portal.press("rule-b");
    ASSERT_TRUE(waitUntil([&] { return ranB == 1; }));
    EXPECT_EQ(ranA, 0);
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());

    // Nothing new to bind: nothing is sent (the desktop may ask the user each time).
    registry.setShortcut(superShiftE, "rule-a");
    registry.setDescription("rule-z", "Text: not bound");
    EXPECT_FALSE(waitUntil([&] { return portal.binds().size() != 1; }, 200));
    registry.removeHandler("rule-b");
    ASSERT_TRUE(waitUntil([&] { return portal.binds().size() == 2; }));

    // A name without a handler any more is not run, even if the desktop still fires it.
    // (Signals are handled in order: what comes after a press shows it was handled.)
    portal.press("rule-b");
    portal.press("rule-a");
    ASSERT_TRUE(waitUntil([&] { return ranA == 1; }));
    EXPECT_EQ(ranB, 1);

    // Switched off, nothing runs.
    registry.setEnabled(false);
    EXPECT_EQ(registry.grabState("rule-a"), ShortcutGrab::paused);
    portal.press("rule-a");
    portal.changeTrigger("rule-a", "Super+Shift+E");
    ASSERT_TRUE(
        waitUntil([&] { return registry.desktopTriggerDescription("rule-a") == "Super+Shift+E"; }));
    EXPECT_EQ(ranA, 1);
    // A recorder gets the bound keys the desktop keeps from its window, and once
    // it recorded them (for another rule) the rules get their presses again.
    HotkeyRecordingPeriod period(registry, [] { return Qt::KeyboardModifiers(); });
    HotkeyRecorder recorder(registry, period, QStringLiteral("rule-r"));
    recorder.startRecording();
    portal.press("rule-a");
    ASSERT_TRUE(waitUntil([&] { return registry.getShortcut("rule-r") == superShiftE; }));
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(ranA, 1);
    // Switching off and on asks the desktop nothing (it would ask the user).
    registry.setEnabled(true);
    EXPECT_EQ(registry.grabState("rule-a"), ShortcutGrab::active);
    EXPECT_EQ(portal.binds().size(), 2);
    portal.press("rule-a");
    ASSERT_TRUE(waitUntil([&] { return ranA == 2; }));
}

TEST(PortalShortcutRegistry, UnavailableWithoutAPortalAndBoundAgainForEachNewOneAndSession) {
    PortalShortcutRegistry registry(tablePath("restart"));
    int ranA = 0;
    const auto states = [&] {
        return QList<ShortcutGrab>{registry.grabState("rule-a"), registry.grabState("rule-b")};
    };
    const QList<ShortcutGrab> active{ShortcutGrab::active, ShortcutGrab::active};
    const QList<ShortcutGrab> unavailable{ShortcutGrab::unavailable, ShortcutGrab::unavailable};
    {
        // A portal whose desktop offers no global shortcuts. (With the name free the
        // bus could start a real portal installed on this machine.)
        BusPeer bare;
        bare.start();
        ASSERT_TRUE(ownPortalName(bare));
        EXPECT_EQ(PortalShortcutRegistry::offeredVersion(2000), 0u);
        handleTwoNames(registry, ranA);
        ASSERT_TRUE(waitUntil([&] { return states() == unavailable; }));
    }
    auto portal = std::make_unique<FakePortal>();
    ASSERT_TRUE(ownPortalName(*portal));
    ASSERT_TRUE(waitUntil([&] { return states() == active; }));

    // The portal quits (restarted, updated); a change meanwhile goes to the next one.
    portal.reset();
    ASSERT_TRUE(waitUntil([&] { return states() == unavailable; }));
    registry.setShortcut(f5, "rule-b");
    EXPECT_EQ(states(), unavailable);
    EXPECT_FALSE(registry.desktopTriggerDescription("rule-a"));

    // A portal that refuses sessions is asked once, not again for later changes.
    {
        FakePortal refusing(false);
        ASSERT_TRUE(ownPortalName(refusing));
        ASSERT_TRUE(waitUntil([&] { return refusing.sessions() == 1; }));
        ASSERT_TRUE(waitUntil([&] { return states() == unavailable; }));
        registry.onKeyDown("rule-b", [] {});
        EXPECT_FALSE(waitUntil([&] { return refusing.sessions() > 1; }, 300));
        EXPECT_EQ(states(), unavailable);
        EXPECT_TRUE(refusing.binds().isEmpty());
    }

    FakePortal next;
    ASSERT_TRUE(ownPortalName(next));
    const QList<Bound> wanted{{"rule-a", "CTRL+ALT+k", "rule-a"}, {"rule-b", "F5", "rule-b"}};
    ASSERT_TRUE(waitUntil([&] { return states() == active; }));
    EXPECT_EQ(next.sessions(), 1);
    EXPECT_EQ(next.binds(), QList<QList<Bound>>{wanted});

    // The desktop closes the session: one new session with the same list, and
    // presses in it run the handlers.
    next.closeSession();
    ASSERT_TRUE(waitUntil([&] { return next.binds().size() == 2; }));
    EXPECT_EQ(next.sessions(), 2);
    EXPECT_EQ(next.binds().last(), wanted);
    ASSERT_TRUE(waitUntil([&] { return states() == active; }));
    next.press("rule-a");
    ASSERT_TRUE(waitUntil([&] { return ranA == 1; }));
    // Closed again by the same portal: no loop of sessions.
    next.closeSession();
    ASSERT_TRUE(waitUntil([&] { return states() == unavailable; }));
    EXPECT_FALSE(waitUntil([&] { return next.sessions() > 2; }, 300));
}

// A desktop that binds nothing at first (Plasma 5.27): names become active, with
// the desktop's words for their keys, as the user assigns keys there.
TEST(PortalShortcutRegistry, NamesTheUserAssignsLaterBecomeActiveWithTheDesktopsDescription) {
    FakePortal portal(true, false);
    ASSERT_TRUE(ownPortalName(portal));
    PortalShortcutRegistry registry(tablePath("later"));
    int ranA = 0;
    handleTwoNames(registry, ranA);
    ASSERT_TRUE(waitUntil([&] { return portal.binds().size() == 1; }));
    EXPECT_FALSE(waitUntil(
        [&] { return registry.grabState("rule-a") != ShortcutGrab::notBoundByDesktop; }, 200));

    // What shows the state (the rules list) is told once the desktop assigned the keys.
    bool toldActive = false;
    registry.addGrabStateObserver(
        [&] { toldActive = registry.grabState("rule-a") == ShortcutGrab::active; });
    const auto described = [&](const char* name) {
        return std::pair(registry.grabState(name), registry.desktopTriggerDescription(name));
    };
    using D = std::pair<ShortcutGrab, std::optional<QString>>;
    const D notBound{ShortcutGrab::notBoundByDesktop, std::nullopt};
    const struct {
        const char* id;
        const char* description;
        QByteArray session; // empty: the registry's own
        D a, b;
    } steps[] = {
        // Another session's change is not ours (the next step waits past it).
        {"rule-b", "Ctrl+F8", "/org/freedesktop/portal/desktop/session/1_0/other", notBound,
         notBound},
        {"rule-a", "Super+Alt+K", {}, {ShortcutGrab::active, "Super+Alt+K"}, notBound},
        {"rule-b",
         "Ctrl+F9",
         {},
         {ShortcutGrab::active, "Super+Alt+K"},
         {ShortcutGrab::active, "Ctrl+F9"}},
    };
    for (const auto& step : steps) {
        portal.changeTrigger(step.id, step.description, step.session);
        EXPECT_TRUE(waitUntil([&] {
            return described("rule-a") == step.a && described("rule-b") == step.b;
        })) << step.description;
    }
    EXPECT_TRUE(toldActive);
    portal.press("rule-a");
    ASSERT_TRUE(waitUntil([&] { return ranA == 1; }));
    // Nothing is asked again: the desktop has the list it answered; the table keeps ours.
    EXPECT_EQ(portal.binds().size(), 1);
    EXPECT_EQ(registry.getShortcut("rule-a"), ctrlAltK);
}

// The portal cannot unbind: each change binds the whole list again, and GNOME,
// which refuses a second binding in a session, gets it in a new session while
// the old one, with the keys it held, is closed.
TEST(PortalShortcutRegistry, EachChangeBindsTheWholeListInANewSessionWhereTheDesktopBindsOnce) {
    for (const bool bindsOnce : {false, true}) {
        SCOPED_TRACE(bindsOnce ? "binds once per session (GNOME)" : "binds again");
        FakePortal portal(true, true, bindsOnce);
        ASSERT_TRUE(ownPortalName(portal));
        PortalShortcutRegistry registry(tablePath(bindsOnce ? "once" : "again"));
        int ranA = 0;
        handleTwoNames(registry, ranA);
        const Bound a{"rule-a", "CTRL+ALT+k", "rule-a"}, b{"rule-b", "F5", "rule-b"},
            c{"rule-c", "F5", "rule-c"}, renamed{"rule-c", "F5", "Text: Drafts"};
        ASSERT_TRUE(waitUntil([&] { return portal.binds().size() == 1; }));
        const struct {
            const char* what;
            std::function<void()> change;
            QList<Bound> held;
        } steps[] = {
            {"add",
             [&] {
                 registry.setShortcut(f5, "rule-c");
                 registry.onKeyDown("rule-c", [] {});
             },
             {a, {"rule-b", "LOGO+SHIFT+e", "rule-b"}, c}},
            {"change", [&] { registry.setShortcut(f5, "rule-b"); }, {a, b, c}},
            {"rename", [&] { registry.setDescription("rule-c", "Text: Drafts"); }, {a, b, renamed}},
            {"clear", [&] { registry.setShortcut(std::nullopt, "rule-b"); }, {a, renamed}},
            {"delete", [&] { registry.removeHandler("rule-c"); }, {a}},
        };
        int changes = 0;
        for (const auto& step : steps) {
            SCOPED_TRACE(step.what);
            step.change();
            ++changes;
            ASSERT_TRUE(waitUntil([&] { return portal.held() == step.held; }));
            EXPECT_EQ(portal.sessions(), bindsOnce ? 1 + changes : 1);
            EXPECT_EQ(portal.closedSessions(), bindsOnce ? changes : 0) << "old keys let go";
            EXPECT_TRUE(
                waitUntil([&] { return registry.grabState("rule-a") == ShortcutGrab::active; }));
        }
        EXPECT_EQ(registry.grabState("rule-b"), ShortcutGrab::notRegistered) << "cleared";
        portal.press("rule-a");
        ASSERT_TRUE(waitUntil([&] { return ranA == 1; }));
    }
}

} // namespace
