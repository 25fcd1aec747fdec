#include "core/hotkeys/HotkeyRecorder.h"

#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/ShortcutModifiers.h"
#include "core/platform/ShortcutRegistry.h"

namespace {
bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

bool isFunctionKey(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F20;
}

RecorderKeyClass rejected(const QString& message) {
    return {RecorderKeyClass::rejected, std::nullopt, message};
}
} // namespace

HotkeyRecorder::HotkeyRecorder(ShortcutRegistry& registry, HotkeyRecordingPeriod& period,
                               QString shortcutName, QObject* parent)
    : QObject(parent)
    , m_registry(registry)
    , m_period(period)
    , m_shortcutName(std::move(shortcutName))
    , m_states(registry) {
    m_hintReset.setSingleShot(true);
    m_hintReset.setTimerType(Qt::PreciseTimer);
    m_hintReset.setInterval(hintMilliseconds);
    connect(&m_hintReset, &QTimer::timeout, this, [this] {
        m_rejectHint.reset();
        Q_EMIT titleChanged();
    });
    connect(&m_states, &HotkeyStateWatch::statesChanged, this, &HotkeyRecorder::titleChanged);
}

HotkeyRecorder::~HotkeyRecorder() {
    // A recorder that goes away while capturing must not leave hotkeys off.
    if (m_recording) {
        m_recording = false;
        m_registry.setRecorderFeed(nullptr);
        m_period.end();
    }
}

QString HotkeyRecorder::modifierRequiredHint() {
    return PlatformTexts::text("\u2318 \u2325 or \u2303 required");
}

QString HotkeyRecorder::commandRequiredHint() {
    return PlatformTexts::text("\u2318 required (except F-keys)");
}

QString HotkeyRecorder::takenHint() {
    return QStringLiteral("Already used by another program");
}

QString HotkeyRecorder::notStoredHint() {
    return QStringLiteral("Hotkey not stored");
}

QString HotkeyRecorder::toolTip() {
    return PlatformTexts::text(
        "Global shortcut that triggers this rule. Include \u2318 so Finder doesn't treat a "
        "letter as type-ahead. Function keys work without \u2318. The same keys can be used on "
        "other file types.");
}

QString HotkeyRecorder::hotkeyNote() {
    return PlatformTexts::text(
        "Include \u2318 so Finder doesn't steal the key. F-keys don't need it.");
}

QString HotkeyRecorder::desktopConfirmsNote() {
    return QString::fromUtf8(PlatformTexts::Linux::desktopConfirmsShortcuts);
}

RecorderKeyClass HotkeyRecorder::classify(const RecorderKeyPress& press,
                                          const ShortcutRegistry& registry) {
    const Qt::KeyboardModifiers modifiers = press.modifiers & ShortcutModifiers::all;
    if (!modifiers) {
        switch (press.key) {
        case Qt::Key_Tab:
            return {RecorderKeyClass::pass, std::nullopt, {}};
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return {RecorderKeyClass::clear, std::nullopt, {}};
        case Qt::Key_Escape:
            return {RecorderKeyClass::cancel, std::nullopt, {}};
        default:
            break;
        }
    }
    if (isModifierKey(press.key) || press.key == 0 || press.key == Qt::Key_unknown)
        return {RecorderKeyClass::pass, std::nullopt, {}};
    if (!ShortcutModifiers::leavesTypingAlone(press.key, modifiers))
        return rejected(modifierRequiredHint());
    if (!isFunctionKey(press.key) && !modifiers.testFlag(ShortcutModifiers::command))
        return rejected(commandRequiredHint());
    Shortcut shortcut{Qt::Key(press.key), modifiers};
    // A letter of a layout whose keys are grabbed by their Latin names ("ru,us").
    if (!registry.canRepresent(shortcut) && press.nativeScanCode)
        shortcut.key = registry.keyOnScanCode(press.nativeScanCode).value_or(shortcut.key);
    if (!registry.canRepresent(shortcut))
        return rejected(modifierRequiredHint());
    return {RecorderKeyClass::valid, shortcut, {}};
}

QString HotkeyRecorder::title() const {
    if (m_rejectHint)
        return *m_rejectHint;
    if (m_recording)
        return QStringLiteral("Press keys\u2026");
    if (const std::optional<QString> text = m_registry.shortcutDisplayText(m_shortcutName))
        return *text;
    return QStringLiteral("Record Shortcut");
}

std::optional<QString> HotkeyRecorder::inactiveReason() const {
    if (m_recording || m_rejectHint)
        return std::nullopt;
    return m_states.inactiveReason({m_shortcutName});
}

void HotkeyRecorder::toggleRecording() {
    if (m_recording)
        stopRecording();
    else
        startRecording();
}

void HotkeyRecorder::startRecording() {
    if (m_recording)
        return;
    m_recording = true;
    m_rejectHint.reset();
    m_registry.setRecorderFeed([this](const Shortcut& pressed) {
        keyPressed({pressed.key, pressed.modifiers});
    });
    m_period.begin();
    Q_EMIT recordingChanged(true);
    Q_EMIT titleChanged();
}

void HotkeyRecorder::stopRecording() {
    const bool wasRecording = m_recording;
    m_recording = false;
    m_rejectHint.reset();
    m_hintReset.stop();
    if (wasRecording) {
        m_registry.setRecorderFeed(nullptr);
        m_period.end();
        Q_EMIT recordingChanged(false);
    }
    Q_EMIT titleChanged();
}

HotkeyRecorder::Disposition HotkeyRecorder::mousePressed(bool insideView) {
    // A click on the control toggles recording off through its own action.
    if (!insideView)
        stopRecording();
    return Disposition::passOn;
}

HotkeyRecorder::Disposition HotkeyRecorder::keyPressed(const RecorderKeyPress& press) {
    const RecorderKeyClass result = classify(press, m_registry);
    switch (result.kind) {
    case RecorderKeyClass::valid:
        // A combination another program holds would be stored dead.
        if (m_registry.isHeldByAnotherProgram(*result.shortcut)) {
            showRejection(takenHint());
            return Disposition::swallow;
        }
        store(result.shortcut);
        stopRecording();
        reportUnsaved();
        return Disposition::swallow;
    case RecorderKeyClass::rejected:
        showRejection(result.message);
        return Disposition::swallow;
    case RecorderKeyClass::cancel:
        stopRecording();
        return Disposition::swallow;
    case RecorderKeyClass::clear:
        store(std::nullopt);
        stopRecording();
        reportUnsaved();
        return Disposition::swallow;
    case RecorderKeyClass::pass:
        if (press.key == Qt::Key_Tab && !(press.modifiers & ShortcutModifiers::all))
            stopRecording();
        return Disposition::passOn;
    }
    return Disposition::passOn;
}

void HotkeyRecorder::showRejection(const QString& message) {
    m_rejectHint = message;
    Q_EMIT titleChanged();
    m_hintReset.start(); // restarts a pending reset
}

void HotkeyRecorder::store(const std::optional<Shortcut>& shortcut) {
    const std::optional<Shortcut> before = m_registry.getShortcut(m_shortcutName);
    m_registry.setShortcut(shortcut, m_shortcutName);
    if (before != shortcut)
        Q_EMIT shortcutChanged();
}

void HotkeyRecorder::reportUnsaved() {
    // The key works for now, but would be gone after the next start.
    if (!m_registry.lastSaveError())
        return;
    m_rejectHint = notStoredHint();
    Q_EMIT titleChanged();
}
