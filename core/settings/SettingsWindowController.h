#pragma once

#include "core/engine/RuleDescriptions.h"
#include "core/model/PickerUtility.h"
#include "core/model/Route.h"
#include "core/platform/Platform.h"
#include "core/selection/TCCPermissions.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

class DefaultRuleEditorSheet;
class EditorURLTemplateSheet;
class FileManagerActionsRow;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class PermissionTilesView;
class ReorderableList;
class RouteStore;
class RuleEditorSheet;
struct RuleDraft;
class RuleHotkeyAccess;
class SettingsChoosers;

// The window in which the user edits one route at a time. It owns no data: it
// reads the store, changes it only through the store's operations and reloads
// after each change. Created once; closing it only hides it.
class SettingsWindowController : public QMainWindow {
    Q_OBJECT
public:
    struct Hooks {
        // The teaching flow for a sample file; the id of the route that covers it.
        std::function<std::optional<QString>(const QUrl& sample)> addTypeFromURL;
        std::function<void()> onWillShow;
        std::function<void()> onWillClose;
        std::function<void()> onShowOnboarding;
        std::function<bool()> usesApplicationScripts;
        // The x-corvanta link that forces a rule, for "Copy URL Scheme Template".
        std::function<QString(const QString& ruleID)> ruleLinkTemplate;
        // Forgets the routing history ("Clear History").
        std::function<void()> clearHistory;
    };

    enum Tab { generalTab, editorsTab, orderTab, rulesTab };

    SettingsWindowController(RouteStore& store, const Platform& platform,
                             SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys, Hooks hooks,
                             bool showsAccessibilityPermissions = true,
                             bool showsApplicationScriptsInstall = false,
                             QWidget* parent = nullptr);
    ~SettingsWindowController() override;

    // Brings the window forward on `routeID` when it exists, and reloads.
    void show(const std::optional<QString>& routeID = std::nullopt);
    void reload();

    const std::optional<QString>& selectedRouteID() const { return m_selectedRouteID; }
    std::optional<Route> selectedRoute() const;

    // The header.
    QComboBox* routePopup() const { return m_routePopup; }
    QLabel* routeTitle() const { return m_routeTitle; }
    QLabel* metaLine() const { return m_metaLine; }
    QLabel* pickerChip() const { return m_pickerChip; }
    QLabel* activeChip() const { return m_activeChip; }
    QTabWidget* tabs() const { return m_tabs; }
    // Where the permission tiles go.
    QWidget* permissionsSection() const { return m_permissionsSection; }
    PermissionTilesView* permissionTiles() const { return m_permissionTiles; }
    FileManagerActionsRow* fileManagerActions() const { return m_fileManagerActions; }
    // Whether this window has asked to install the Application Scripts helpers
    // on its own (at most once in its life, when they were not current).
    bool didOfferApplicationScriptsInstall() const { return m_didOfferApplicationScriptsInstall; }

    // The sheets while they show.
    RuleEditorSheet* ruleSheet() const;
    DefaultRuleEditorSheet* defaultRuleSheet() const;
    EditorURLTemplateSheet* urlTemplateSheet() const;

    // The rules context menu for a row (-1: the selected row).
    QMenu* makeRulesContextMenu(int row);

    // Actions, one per control.
    void addType();
    void removeType();
    void addApp();
    void removeEditor();
    void selectAllEditors(bool enabled);
    void rescan();
    void chooseTerminal();
    void openScriptsFolder();
    void addRule();
    // The rule sheet for a new rule on the shown route, placed first when saved:
    // "Parent folder is" `folder`, opening in `bundleID`, named after the folder.
    void proposeRule(const QString& folder, const QString& bundleID);
    void editRule();
    void removeRule();
    void moveOrder(int from, int gap);
    void moveRule(int from, int gap);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildGeneralTab();
    QWidget* buildEditorsTab();
    QWidget* buildOrderTab();
    QWidget* buildRulesTab();
    void refreshHeader(const std::optional<Route>& route);
    void refreshEditors(const std::optional<Route>& route);
    void refreshUtilities(const std::optional<Route>& route);
    void refreshTerminal(const std::optional<Route>& route);
    void refreshOrder(const std::optional<Route>& route);
    void refreshRules(const std::optional<Route>& route);
    void refreshPickerStyle();
    void updateEditorButtons();
    void updateRuleButtons();
    void pickerStyleChosen(bool list);
    void editTemplate(const Editor& editor);
    void editDefaultRule();
    void openRuleSheet(const std::optional<Rule>& rule);
    void openRuleSheet(const RuleDraft& draft, bool placedFirst);
    void copyForRow(int row, bool urlTemplate);
    void offerApplicationScriptsInstall();
    // The installed helper of the first file manager, bounded for a status line.
    TCCPermissions::ScriptCheck runInstalledScriptForStatus() const;
    struct ApplicationInfo {
        bool installed = false;
        QString name;
        QString iconName;
    };
    // Looked up once per show.
    const ApplicationInfo& applicationInfo(const QString& bundleID) const;
    QIcon applicationIcon(const QString& bundleID) const;
    QString applicationDisplayName(const QString& bundleID) const;

    RouteStore& m_store;
    Platform m_platform;
    SettingsChoosers& m_choosers;
    RuleHotkeyAccess& m_hotkeys;
    Hooks m_hooks;
    RuleDescriptions m_descriptions;
    bool m_showsAccessibilityPermissions;
    bool m_showsApplicationScriptsInstall;
    std::optional<QString> m_selectedRouteID;
    QList<Route> m_routes;
    mutable QHash<QString, ApplicationInfo> m_applications;

    QComboBox* m_routePopup = nullptr;
    QLabel* m_routeTitle = nullptr;
    QLabel* m_metaLine = nullptr;
    QLabel* m_pickerChip = nullptr;
    QLabel* m_activeChip = nullptr;
    QPushButton* m_addTypeButton = nullptr;
    QPushButton* m_removeTypeButton = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_permissionsSection = nullptr;
    PermissionTilesView* m_permissionTiles = nullptr;
    FileManagerActionsRow* m_fileManagerActions = nullptr;
    bool m_didOfferApplicationScriptsInstall = false;

    QToolButton* m_radialSegment = nullptr;
    QToolButton* m_listSegment = nullptr;
    QCheckBox* m_voiceOverBox = nullptr;
    QPushButton* m_onboardingButton = nullptr;

    QListWidget* m_editorsTable = nullptr;
    QPushButton* m_addAppButton = nullptr;
    QPushButton* m_removeEditorButton = nullptr;
    QPushButton* m_selectAllButton = nullptr;
    QPushButton* m_deselectAllButton = nullptr;
    QPushButton* m_rescanButton = nullptr;
    QHash<PickerUtilityKind, QCheckBox*> m_utilityEnabledBoxes;
    QComboBox* m_terminalPopup = nullptr;
    QPushButton* m_chooseTerminalButton = nullptr;
    QHash<ExternalUtilityKind, QPushButton*> m_externalButtons;
    QPushButton* m_scriptsFolderButton = nullptr;

    QStackedWidget* m_orderStack = nullptr;
    ReorderableList* m_orderTable = nullptr;
    QLabel* m_orderEmptyLabel = nullptr;
    QStringList m_orderIDs;

    ReorderableList* m_rulesTable = nullptr;
    QPushButton* m_addRuleButton = nullptr;
    QPushButton* m_editRuleButton = nullptr;
    QPushButton* m_removeRuleButton = nullptr;

    QPointer<RuleEditorSheet> m_editorSheet;
    QPointer<DefaultRuleEditorSheet> m_defaultRuleSheet;
    QPointer<EditorURLTemplateSheet> m_urlTemplateSheet;
};
