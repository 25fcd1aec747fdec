#pragma once

#include "core/pickers/PickerChoice.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "core/pickers/RadialEditorPickerView.h"
class QWidget;

// The radial picker: a translucent disc under the pointer with one slice per
// entry. Reports once, through the completion, the chosen entry or nothing.
// Where the window system cannot blend windows (X11 without a compositing
// manager), the panel is opaque and cut to the disc's shape instead.
class RadialEditorPicker : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const std::optional<PickerChoice>& choice)>;
    using IconSource = std::function<QIcon(const PickerChoice&)>;
    // Runs with the panel just before it is first shown (focus hand-over).
    using WindowPreparer = std::function<void(QWidget*)>;

    RadialEditorPicker(const QString& title, const QList<PickerChoice>& candidates,
                       const IconSource& icons = {}, bool translucent = true,
                       QObject* parent = nullptr);
    ~RadialEditorPicker() override;

    // Shows the picker; with no candidates the completion runs at once with no
    // choice and nothing is shown.
    void show(Completion completion);
    bool isPending() const { return bool(m_completion); }
    void setWindowPreparer(WindowPreparer preparer) { m_prepareWindow = std::move(preparer); }
    void setDigitLookup(RadialEditorPickerView::DigitLookup lookup) {
        m_digitLookup = std::move(lookup);
    }

    QWidget* panel() const { return m_panel; }
    RadialEditorPickerView* pickerView() const { return m_view; }
    const QList<PickerChoice>& candidates() const { return m_candidates; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanel();
    void placePanel();
    void reactivateLater();
    void grabPointer(int attempt);
    void finish(const std::optional<PickerChoice>& choice);

    QString m_title;
    QList<PickerChoice> m_candidates;
    IconSource m_icons;
    bool m_translucent;
    Completion m_completion;
    WindowPreparer m_prepareWindow;
    RadialEditorPickerView::DigitLookup m_digitLookup;
    QPointer<QWidget> m_panel;
    QPointer<RadialEditorPickerView> m_view;
};
