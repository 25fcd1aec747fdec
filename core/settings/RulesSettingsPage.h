#pragma once

#include "core/settings/SettingsPage.h"

#include <functional>

class Clipboard;
class HotkeyStateWatch;
class QMenu;
class QPushButton;
class ReorderableList;
class RouteStore;
class RuleDescriptions;
class ShortcutRegistry;

// The rules tab: the route's rules in evaluation order, then its Default Rule.
class RulesSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    RulesSettingsPage(RouteStore& store, const RuleDescriptions& descriptions,
                      ShortcutRegistry& shortcuts, Clipboard& clipboard,
                      std::function<QString(const QString& ruleID)> ruleLinkTemplate,
                      QWidget* parent = nullptr);

    void reload(const Route& route) override;
    // The context menu for a row (-1: the current row).
    QMenu* makeContextMenu(int row);

Q_SIGNALS:
    // An empty rule id asks for a new rule.
    void editRuleRequested(const QString& routeID, const QString& ruleID);
    void editDefaultRuleRequested(const QString& routeID);

private:
    void editCurrent();
    void removeCurrent();
    void move(int from, int gap);
    void updateButtons();
    // Each rule row says whether its hotkeys do nothing now, and why.
    void showHotkeyStates();
    // The rule id of `row`; empty for the Default Rule row and outside the list.
    QString ruleIDAt(int row) const;

    RouteStore& m_store;
    const RuleDescriptions& m_descriptions;
    Clipboard& m_clipboard;
    std::function<QString(const QString&)> m_ruleLinkTemplate;
    QString m_routeID;
    QStringList m_shownIDs;
    // The hotkey names of each shown rule, by row.
    QList<QStringList> m_shownHotkeys;
    HotkeyStateWatch* m_hotkeyStates = nullptr;
    ReorderableList* m_table = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_removeButton = nullptr;
};
