#pragma once

#include "core/selection/FileManagerActionsInstaller.h"

#include <QWidget>
#include <optional>

class Alerts;
class QLabel;
class QPushButton;
class RouteStore;
class ShortcutRegistry;

// The permissions section's way to rule hotkeys through the file managers'
// own context menus: installs an action per rule with a hotkey once the user
// agreed, reports what happened, and takes Corvanta's actions out again. One
// button whose title says what it will do: while ours are installed they are
// kept in step with the rules without asking, so removing is the only choice
// left then.
class FileManagerActionsRow : public QWidget {
    Q_OBJECT
public:
    FileManagerActionsRow(RouteStore& store, ShortcutRegistry& shortcuts, Alerts& alerts,
                          QWidget* parent = nullptr);

    QPushButton* button() const { return m_button; }
    // Shown only where the desktop has each global shortcut confirmed.
    QLabel* bindingsNote() const { return m_bindingsNote; }

    // Sets the button from what is installed now.
    void refresh();
    // Confirms, installs or removes, and reports.
    void activated();

private:
    std::optional<FileManagerActionsInstaller> installer() const;
    void install(FileManagerActionsInstaller& installer);
    void remove(FileManagerActionsInstaller& installer);
    void report(const char* title, const FileManagerActionsInstaller::Result& result);

    RouteStore& m_store;
    ShortcutRegistry& m_shortcuts;
    Alerts& m_alerts;
    QPushButton* m_button = nullptr;
    QLabel* m_bindingsNote = nullptr;
};
