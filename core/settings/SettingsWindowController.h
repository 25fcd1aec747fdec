#pragma once

#include "core/engine/RuleDescriptions.h"
#include "core/model/Route.h"
#include "core/platform/Platform.h"
#include "core/selection/TCCPermissions.h"
#include "core/settings/SettingsApplications.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

class DefaultRuleEditorSheet;
class EditorURLTemplateSheet;
class EditorsSettingsPage;
class ElidingLabel;
class FileManagerActionsRow;
class GeneralSettingsPage;
class OrderSettingsPage;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class PermissionTilesView;
class RouteStore;
class RuleEditorSheet;
struct RuleDraft;
class RuleHotkeyAccess;
class RulesSettingsPage;
class SettingsChoosers;
class SettingsPage;

// The window in which the user edits one route at a time. It owns no data: its
// pages change the store by id and every change of the store, wherever it came
// from, reloads what the window shows. It switches pages and opens the sheets.
// Created once; closing it only hides it.
class SettingsWindowController : public QMainWindow {
    Q_OBJECT
public:
    struct Hooks {
        // The teaching flow for a sample file; the id of the route that covers it.
        std::function<std::optional<QString>(const QUrl& sample)> addTypeFromURL;
        std::function<void()> onWillClose;
        std::function<void()> onShowOnboarding;
        std::function<bool()> usesApplicationScripts;
        // The x-corvanta link that forces a rule, for "Copy URL Scheme Template".
        std::function<QString(const QString& ruleID)> ruleLinkTemplate;
        // Hands the window the desktop's activation token Corvanta keeps, just
        // before it shows, so it comes to the front.
        std::function<void(QWidget* window)> prepareToShow;
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
    QTabWidget* tabs() const { return m_tabs; }
    GeneralSettingsPage* generalPage() const { return m_generalPage; }
    PermissionTilesView* permissionTiles() const { return m_permissionTiles; }
    FileManagerActionsRow* fileManagerActions() const { return m_fileManagerActions; }

    // The sheets while they show.
    RuleEditorSheet* ruleSheet() const;
    DefaultRuleEditorSheet* defaultRuleSheet() const;
    EditorURLTemplateSheet* urlTemplateSheet() const;

    // The rule sheet for a new rule on the shown route, placed first when saved:
    // "Parent folder is" `folder`, opening in `bundleID`, named after the folder.
    void proposeRule(const QString& folder, const QString& bundleID);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildPermissions();
    void reloadHeader(const std::optional<Route>& route);
    void addType();
    void removeType();
    void editTemplate(const QString& routeID, const QString& bundleID);
    void editRule(const QString& routeID, const QString& ruleID);
    void editDefaultRule(const QString& routeID);
    // `existing`: `draft` edits a stored rule; `placedFirst`: a new rule goes first.
    void openRuleSheet(const Route& route, RuleDraft draft, bool existing, bool placedFirst);
    // Opens `sheet` window-modal and keeps it in `slot` until it finishes.
    template <typename Sheet> void openSheet(QPointer<Sheet>& slot, Sheet* sheet);
    // False, after telling the user, when what a sheet edits has gone from the
    // store while it was open (a hand edit of the routes file).
    bool stillThere(const QString& routeID, const QString& what, bool found) const;
    void offerApplicationScriptsInstall();
    // The installed helper of the first file manager, bounded for a status line.
    TCCPermissions::ScriptCheck runInstalledScriptForStatus() const;

    RouteStore& m_store;
    Platform m_platform;
    SettingsChoosers& m_choosers;
    RuleHotkeyAccess& m_hotkeys;
    Hooks m_hooks;
    RuleDescriptions m_descriptions;
    SettingsApplications m_applications;
    bool m_showsAccessibilityPermissions;
    bool m_showsApplicationScriptsInstall;
    std::optional<QString> m_selectedRouteID;
    int m_changeHandler = -1;

    QComboBox* m_routePopup = nullptr;
    QLabel* m_routeTitle = nullptr;
    ElidingLabel* m_metaLine = nullptr;
    QLabel* m_pickerChip = nullptr;
    QLabel* m_activeChip = nullptr;
    QPushButton* m_removeTypeButton = nullptr;
    QTabWidget* m_tabs = nullptr;
    GeneralSettingsPage* m_generalPage = nullptr;
    QList<SettingsPage*> m_pages;
    PermissionTilesView* m_permissionTiles = nullptr;
    FileManagerActionsRow* m_fileManagerActions = nullptr;
    bool m_didOfferApplicationScriptsInstall = false;

    QPointer<RuleEditorSheet> m_ruleSheet;
    QPointer<DefaultRuleEditorSheet> m_defaultRuleSheet;
    QPointer<EditorURLTemplateSheet> m_urlTemplateSheet;
};
