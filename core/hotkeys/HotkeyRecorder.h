#pragma once

#include "core/hotkeys/HotkeyStateWatch.h"
#include "core/platform/Shortcut.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class HotkeyRecordingPeriod;
class ShortcutRegistry;

// One key press as a recorder sees it.
struct RecorderKeyPress {
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode = 0; // the X keycode; 0 when unknown
};

// What a key press means to a recorder.
struct RecorderKeyClass {
    enum Kind { valid, rejected, cancel, clear, pass };
    Kind kind = pass;
    std::optional<Shortcut> shortcut; // valid
    QString message;                  // rejected
};

// The recorder of one shortcut name without its widget: recording state, the
// classification of key presses, rejection hints, and the button's title.
class HotkeyRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr int hintMilliseconds = 1200;
    enum class Disposition { swallow, passOn };

    HotkeyRecorder(ShortcutRegistry& registry, HotkeyRecordingPeriod& period, QString shortcutName,
                   QObject* parent = nullptr);
    ~HotkeyRecorder() override;

    // The rejection messages and the title texts.
    static QString modifierRequiredHint();
    static QString commandRequiredHint();
    static QString takenHint();
    // Shown until the next recording when the table could not be saved.
    static QString notStoredHint();
    static QString toolTip();
    // The note next to the recorder in a hotkey condition row.
    static QString hotkeyNote();
    // Said where the desktop, not Corvanta, assigns the keys
    // (ShortcutRegistry::desktopConfirmsBindings).
    static QString desktopConfirmsNote();

    // Sorts a key press: valid, rejected (with a message), cancel, clear or pass.
    static RecorderKeyClass classify(const RecorderKeyPress& press,
                                     const ShortcutRegistry& registry);

    const QString& shortcutName() const { return m_shortcutName; }
    bool isRecording() const { return m_recording; }
    const std::optional<QString>& rejectHint() const { return m_rejectHint; }
    QString title() const;
    // Why the stored hotkey does nothing now; none while it works or while recording.
    std::optional<QString> inactiveReason() const;

    void toggleRecording();
    void startRecording();
    void stopRecording();

    // Events while recording; the answer says whether the event is swallowed.
    Disposition keyPressed(const RecorderKeyPress& press);
    Disposition mousePressed(bool insideView);

Q_SIGNALS:
    void titleChanged();
    void recordingChanged(bool recording);
    void shortcutChanged();

private:
    void showRejection(const QString& message);
    void store(const std::optional<Shortcut>& shortcut);
    void reportUnsaved();

    ShortcutRegistry& m_registry;
    HotkeyRecordingPeriod& m_period;
    QString m_shortcutName;
    bool m_recording = false;
    std::optional<QString> m_rejectHint;
    QTimer m_hintReset;
    HotkeyStateWatch m_states;
};
