#pragma once

#include "core/platform/Lifetime.h"
#include "core/selection/TCCPermissions.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class SelectionPermissions;
class SettingsChoosers;

// The Automation and Accessibility tiles of the settings window: what reading a
// file manager's selection needs, its status now, and the buttons that ask for
// it, open the desktop's settings for it, or install the helper scripts.
class PermissionTilesView : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        // The desktop's accessibility settings; the buttons are hidden without one.
        std::function<void()> openAccessibilitySettings;
        // Application Scripts mode: runs the installed helper for the status check.
        std::function<TCCPermissions::ScriptCheck()> runInstalledScript;
    };

    PermissionTilesView(SelectionPermissions& permissions, SettingsChoosers& choosers,
                        bool showsAccessibilityPermissions, bool showsApplicationScriptsInstall,
                        Hooks hooks, QWidget* parent = nullptr);

    // Reads both privileges afresh.
    void refresh();

    QLabel* automationStatus() const { return m_automationStatus; }
    QLabel* accessibilityStatus() const { return m_accessibilityStatus; }
    QPushButton* requestAutomationButton() const { return m_requestAutomation; }
    QPushButton* requestAccessibilityButton() const { return m_requestAccessibility; }
    QPushButton* installScriptsButton() const { return m_installScripts; }
    QLabel* note() const { return m_note; }

    QPushButton* openAccessibilitySettingsButton() const { return m_openAccessibility; }

    void requestAutomationTapped();
    void requestAccessibilityTapped();
    void installApplicationScriptsTapped();
    // Asks for the Application Scripts folder and installs the helpers there;
    // `completion` runs once, on the event loop, with whether they are current.
    void requestScriptsInstall(std::function<void(bool installed)> completion);

private:
    static void show(QLabel* label, const TCCPermissions::TileStatus& status);

    SelectionPermissions& m_permissions;
    SettingsChoosers& m_choosers;
    bool m_showsAccessibility;
    bool m_scriptsMode;
    Hooks m_hooks;
    QLabel* m_automationStatus = nullptr;
    QLabel* m_accessibilityStatus = nullptr;
    QPushButton* m_requestAutomation = nullptr;
    QPushButton* m_requestAccessibility = nullptr;
    QPushButton* m_installScripts = nullptr;
    QPushButton* m_openAccessibility = nullptr;
    QLabel* m_note = nullptr;
    Lifetime m_lifetime;
};
