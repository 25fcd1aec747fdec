#pragma once

#include "core/settings/SettingsPage.h"

#include <functional>

class Preferences;
class QCheckBox;
class QToolButton;
class QVBoxLayout;

// The general tab: the picker style and replaying onboarding. Other switches
// are their own small widgets, added with addRow().
class GeneralSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    GeneralSettingsPage(Preferences& preferences, std::function<void()> showOnboarding,
                        QWidget* parent = nullptr);

    void reload(const Route& route) override;
    // Adds a row under the picker settings, above the onboarding button.
    void addRow(QWidget* row);
    bool usesListPicker() const;

Q_SIGNALS:
    void pickerStyleChanged();

private:
    void pickerStyleChosen(bool list);

    Preferences& m_preferences;
    QVBoxLayout* m_rows = nullptr;
    QToolButton* m_radialSegment = nullptr;
    QToolButton* m_listSegment = nullptr;
    QCheckBox* m_voiceOverBox = nullptr;
};
