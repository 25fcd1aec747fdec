#include "core/hotkeys/HotkeyRecorder.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "tests/support/FakeShortcutRegistry.h"
#include "tests/unit/hotkeys/HotkeyTestSupport.h"

#include <QElapsedTimer>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

using namespace hotkeytest;

namespace {
constexpr Qt::KeyboardModifier super = ShortcutModifiers::command;
constexpr Qt::KeyboardModifier alt = ShortcutModifiers::option;
constexpr Qt::KeyboardModifier ctrl = ShortcutModifiers::control;
constexpr Qt::KeyboardModifier shift = ShortcutModifiers::shift;

class HotkeyRecorderTest : public CoreAppTest {
protected:
    void SetUp() override {
        registry.addRecorderActiveObserver([this](const QVariantMap& userInfo) {
            notifications.append(userInfo.value(ShortcutRegistry::isActiveKey));
        });
    }

    FakeShortcutRegistry registry;
    Qt::KeyboardModifiers held;
    HotkeyRecordingPeriod period{registry, [this] { return held; }};
    HotkeyRecorder recorder{registry, period, QStringLiteral("rule-R")};
    QVariantList notifications;
};

TEST_F(HotkeyRecorderTest, ClassifiesKeyPresses) {
    const auto cyrillicU = Qt::Key(0x0423); // Qt names letters by their code points
    registry.missingKeys = {Qt::Key_LaunchMail, cyrillicU};
    registry.keysOnScanCodes = {{26, Qt::Key_E}};
    const auto all = super | shift | alt | ctrl;
    const auto pad = Qt::KeypadModifier;
    using K = RecorderKeyClass;
    struct Row {
        const char* what;
        RecorderKeyPress press;
        K::Kind kind;
        std::optional<Shortcut> shortcut;
        QString message;
    };
    const Row rows[] = {
        {"F5 alone", {Qt::Key_F5, {}}, K::valid, Shortcut{Qt::Key_F5, {}}, {}},
        {"F20 with Shift", {Qt::Key_F20, shift}, K::valid, Shortcut{Qt::Key_F20, shift}, {}},
        {"F21 is no function key here", {Qt::Key_F21, {}}, K::rejected, {}, needsAModifier},
        {"letter alone", {Qt::Key_E, {}}, K::rejected, {}, needsAModifier},
        {"Shift and a letter", {Qt::Key_E, shift}, K::rejected, {}, needsAModifier},
        {"keypad digit alone", {Qt::Key_5, pad}, K::rejected, {}, needsAModifier},
        {"Alt and a letter", {Qt::Key_E, alt}, K::rejected, {}, needsSuper},
        {"every modifier", {Qt::Key_E, all}, K::valid, Shortcut{Qt::Key_E, all}, {}},
        // The keypad flag is not part of the combination.
        {"keypad", {Qt::Key_5, super | pad}, K::valid, Shortcut{Qt::Key_5, super}, {}},
        {"a key the keyboard lacks", {Qt::Key_LaunchMail, super}, K::rejected, {}, needsAModifier},
        {"a Cyrillic letter is its Latin key",
         {cyrillicU, super, 26},
         K::valid,
         Shortcut{Qt::Key_E, super},
         {}},
        {"unless it has none", {cyrillicU, super, 27}, K::rejected, {}, needsAModifier},
        {"Delete", {Qt::Key_Delete, {}}, K::clear, {}, {}},
        {"Super+Escape", {Qt::Key_Escape, super}, K::valid, Shortcut{Qt::Key_Escape, super}, {}},
        {"Delete with Ctrl needs Super", {Qt::Key_Delete, ctrl}, K::rejected, {}, needsSuper},
        {"Super key itself", {Qt::Key_Super_L, super}, K::pass, {}, {}},
        {"Shift key itself", {Qt::Key_Shift, shift}, K::pass, {}, {}},
        {"Ctrl key itself", {Qt::Key_Control, ctrl}, K::pass, {}, {}},
        {"Alt key itself", {Qt::Key_Alt, alt}, K::pass, {}, {}},
        {"Meta key itself", {Qt::Key_Meta, super}, K::pass, {}, {}},
        {"CapsLock", {Qt::Key_CapsLock, {}}, K::pass, {}, {}},
    };
    for (const Row& row : rows) {
        const RecorderKeyClass result = HotkeyRecorder::classify(row.press, registry);
        EXPECT_EQ(result.kind, row.kind) << row.what;
        EXPECT_EQ(result.shortcut, row.shortcut) << row.what;
        EXPECT_EQ(result.message, row.message) << row.what;
    }
}

TEST_F(HotkeyRecorderTest, KeyPressesWhileRecording) {
    using D = HotkeyRecorder::Disposition;
    struct Row {
        const char* what;
        std::optional<Shortcut> storedBefore;
        RecorderKeyPress press;
        D disposition;
        bool stillRecording;
        std::optional<Shortcut> storedAfter;
        std::optional<QString> hint;
    };
    const Shortcut f5{Qt::Key_F5, {}}, E = superShiftE;
    const QString taken = QStringLiteral("Already used by another program");
    const Row rows[] = {
        {"F5 replaces the old one", E, {Qt::Key_F5, {}}, D::swallow, false, f5, {}},
        {"Escape keeps the old one", E, {Qt::Key_Escape, {}}, D::swallow, false, E, {}},
        {"a lone modifier keeps recording", {}, {Qt::Key_Shift, shift}, D::passOn, true, {}, {}},
        {"keys another program holds", {}, {Qt::Key_F5, ctrl | alt}, D::swallow, true, {}, taken},
    };
    registry.heldByOthers = {ctrlAltF5};
    for (const Row& row : rows) {
        registry.setShortcut(row.storedBefore, "rule-R");
        int changes = 0;
        const auto connection = QObject::connect(&recorder, &HotkeyRecorder::shortcutChanged,
                                                 [&changes] { ++changes; });
        recorder.startRecording();
        EXPECT_EQ(recorder.keyPressed(row.press), row.disposition) << row.what;
        EXPECT_EQ(recorder.isRecording(), row.stillRecording) << row.what;
        EXPECT_EQ(registry.getShortcut("rule-R"), row.storedAfter) << row.what;
        EXPECT_EQ(changes, row.storedBefore != row.storedAfter ? 1 : 0) << row.what;
        EXPECT_EQ(recorder.rejectHint(), row.hint) << row.what;
        QObject::disconnect(connection);
        recorder.stopRecording();
    }
    // A table that cannot be saved: the key works until Corvanta quits, and the
    // recorder says it was not stored.
    registry.saveError = QStringLiteral("cannot write shortcuts.json: No space left on device");
    recorder.startRecording();
    recorder.keyPressed({Qt::Key_F5, {}});
    EXPECT_EQ(registry.getShortcut("rule-R"), f5);
    EXPECT_EQ(recorder.title(), QStringLiteral("Hotkey not stored"));
}

TEST_F(HotkeyRecorderTest, RejectionHintShowsForItsTimeWhileRecordingGoesOn) {
    recorder.startRecording();
    QElapsedTimer clock;
    clock.start();
    recorder.keyPressed({Qt::Key_E, {}});
    ASSERT_TRUE(recorder.rejectHint());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !recorder.rejectHint(); }));
    EXPECT_GE(clock.elapsed(), HotkeyRecorder::hintMilliseconds - 50);
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_EQ(recorder.title(), QStringLiteral("Press keys\u2026"));

    // Stopping clears a hint at once.
    recorder.keyPressed({Qt::Key_E, alt});
    recorder.stopRecording();
    EXPECT_FALSE(recorder.rejectHint());
}

TEST_F(HotkeyRecorderTest, HotkeysAreOffFromRecordingUntilModifiersAreReleased) {
    recorder.startRecording();
    EXPECT_EQ(notifications, QVariantList{true});
    // Released at once: the period ends with the recording.
    recorder.keyPressed({Qt::Key_Escape, {}});
    EXPECT_EQ(notifications, (QVariantList{true, false}));

    // Still held: the period waits for their release.
    recorder.startRecording();
    held = super | shift;
    recorder.keyPressed({Qt::Key_E, super | shift});
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(registry.isEnabled());
    held = shift;
    period.modifiersChanged();
    EXPECT_FALSE(registry.isEnabled()) << "Shift is still down";
    held = {};
    period.modifiersChanged();
    EXPECT_TRUE(registry.isEnabled());
    EXPECT_EQ(notifications, (QVariantList{true, false, true, false}));
}

TEST_F(HotkeyRecorderTest, HotkeysComeBackOnAReleaseWithoutEventsOrAfterTheFallback) {
    const auto stopWithSuperHeld = [this] {
        recorder.startRecording();
        held = super;
        recorder.stopRecording();
    };
    stopWithSuperHeld();
    held = Qt::KeypadModifier; // not a modifier of a combination
    EXPECT_TRUE(QTest::qWaitFor([this] { return registry.isEnabled(); }, 400))
        << "the release is noticed without an event";

    // Recording again while waiting cancels the fallback.
    stopWithSuperHeld();
    recorder.startRecording();
    QTest::qWait(HotkeyRecordingPeriod::fallbackMilliseconds + 150);
    EXPECT_TRUE(period.isActive());
    EXPECT_FALSE(registry.isEnabled()) << "the new recording keeps hotkeys off";

    // Super stays down: the fallback ends the period.
    recorder.stopRecording();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([this] { return registry.isEnabled(); }));
    EXPECT_GE(clock.elapsed(), HotkeyRecordingPeriod::fallbackMilliseconds - 50);
    EXPECT_FALSE(period.isActive());
}

TEST_F(HotkeyRecorderTest, EndingOnRequestOrLosingTheRecorderReenablesHotkeys) {
    // The settings window closes while a recorder records.
    recorder.startRecording();
    held = super;
    period.endOnRequest();
    EXPECT_TRUE(registry.isEnabled());
    EXPECT_FALSE(period.isActive());
    EXPECT_EQ(notifications.last(), QVariant(false));
    // Corvanta active again with the recorder still recording: hotkeys off again,
    // until the recording ends.
    period.resume();
    EXPECT_TRUE(period.isActive());
    EXPECT_FALSE(registry.isEnabled());
    held = {};
    recorder.stopRecording();
    period.resume();
    EXPECT_TRUE(registry.isEnabled()) << "nothing to resume";
    // Without a period it only switches hotkeys on.
    registry.setEnabled(false);
    const qsizetype posted = notifications.size();
    period.endOnRequest();
    EXPECT_TRUE(registry.isEnabled());
    EXPECT_EQ(notifications.size(), posted);
    // A recorder going away while recording ends the period.
    auto other = std::make_unique<HotkeyRecorder>(registry, period, QStringLiteral("rule-X"));
    other->startRecording();
    EXPECT_FALSE(registry.isEnabled());
    other.reset();
    EXPECT_TRUE(registry.isEnabled());
}

} // namespace
