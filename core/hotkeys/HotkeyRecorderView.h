#pragma once

#include "core/hotkeys/HotkeyRecorder.h"

#include <QWidget>

class HotkeyRecordingPeriod;
class QLabel;
class QPushButton;
class ShortcutRegistry;

// The control that assigns the global key combination of one shortcut name
// ("rule-" + rule id): shows the stored combination; clicked, it captures the next
// key press and stores it in the registry.
class HotkeyRecorderView : public QWidget {
    Q_OBJECT
public:
    // `period` is the application's one recording period (the delegate owns it).
    HotkeyRecorderView(ShortcutRegistry& registry, HotkeyRecordingPeriod& period,
                       const QString& shortcutName, QWidget* parent = nullptr);
    ~HotkeyRecorderView() override;

    const QString& shortcutName() const { return m_recorder.shortcutName(); }
    bool isRecording() const { return m_recorder.isRecording(); }
    QPushButton* button() const { return m_button; }
    // Says why the stored hotkey does nothing now; hidden while it works.
    QLabel* stateLabel() const { return m_stateLabel; }
    // The per-view logic (state, title, classification).
    HotkeyRecorder& recorder() { return m_recorder; }

    void toggleRecording() { m_recorder.toggleRecording(); }
    void startRecording() { m_recorder.startRecording(); }
    void stopRecording() { m_recorder.stopRecording(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The combination stored under the name changed (recorded or cleared).
    void shortcutChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void recordingChanged(bool recording);
    void refreshTitle();

    HotkeyRecorder m_recorder;
    QPushButton* m_button = nullptr;
    QLabel* m_stateLabel = nullptr;
    QString m_description;
    bool m_monitoring = false;
};
