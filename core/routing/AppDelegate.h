#pragma once

#include "core/history/RoutingHistory.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "core/hotkeys/RuleHotkeyCenter.h"
#include "core/menubar/LaunchPresentation.h"
#include "core/menubar/MainMenuController.h"
#include "core/menubar/MenuBarDropController.h"
#include "core/menubar/OnboardingWindowController.h"
#include "core/menubar/StatusMenuTarget.h"
#include "core/menubar/TrayController.h"
#include "core/menubar/WindowPresenter.h"
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileWatcher.h"
#include "core/model/TypeTeacher.h"
#include "core/platform/Lifetime.h"
#include "core/platform/Platform.h"
#include "core/routing/BeepNotifier.h"
#include "core/routing/EditorGroup.h"
#include "core/routing/PendingHUD.h"
#include "core/routing/RoutingPipeline.h"
#include "core/selection/FileSelectionResolver.h"
#include "core/utilities/ExternalUtilityRunner.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class PickerPresenter;
class RuleHotkeyAccess;
class SettingsChoosers;
class SettingsWindowController;
class WindowActivation;
class UtilityPerformer;

// Owns everything that lives for the whole run (the route store, the tray, the
// open pipeline) and wires them to each other; carries out what the tray menu asks.
class AppDelegate : public QObject, public StatusMenuTarget, public RuleFromChoiceOffer {
    Q_OBJECT
public:
    using EditorGroup = ::EditorGroup;
    using PendingHUD = ::PendingHUD;
    using CheckForUpdatesHandler = std::function<void()>;

    // Loads the routes file (at `routesFilePath`, or the default location). A
    // delegate that may write it also follows changes made to it on disk.
    AppDelegate(const Platform& platform, PickerPresenter& pickers, UtilityPerformer& utilities,
                std::optional<QString> routesFilePath = std::nullopt, QObject* parent = nullptr,
                RouteStore::Access access = RouteStore::Access::readWrite);
    ~AppDelegate() override;

    // Creates the tray icon and its menu, then shows what a start for `reason`
    // shows; reports a routes file that could not be loaded last, once
    // everything else is live.
    void applicationDidFinishLaunching(LaunchReason reason);
    // The user looked for the running Corvanta (the desktop's `Activate`).
    void applicationDidActivate();
    // Files and links the desktop asked Corvanta to open.
    void applicationOpenURLs(const QList<QUrl>& urls);
    // A rule hotkey fired.
    void routeSelection(const QSet<QString>& hotkeyNames);
    // A file manager's action sent its selection for the hotkeys.
    void routeGivenSelection(const QList<QUrl>& files, const QSet<QString>& hotkeyNames);
    // A file dropped on the tray icon teaches its type; it is not routed.
    void handleDrop(const QUrl& url);
    // The teaching flow for a sample file; the id of the route that now covers it.
    std::optional<QString> addTypeFromURL(const QUrl& url);

    // Installs (or, with none, removes) the update check offered in the menus.
    void setCheckForUpdatesHandler(std::optional<CheckForUpdatesHandler> handler);
    void setAllowsAccessibilitySelection(bool allows);
    void setUsesApplicationScriptsSelection(bool uses);
    // Whether the window system blends translucent windows right now (the drop
    // palette and onboarding's arrow are cut to shape otherwise).
    void setWindowsCanBeTranslucent(std::function<bool()> translucency);
    // The desktop's leave to take focus that came with the last request: the
    // settings and onboarding windows carry it when they show, so they come to
    // the front instead of blinking in the taskbar.
    void setWindowActivation(WindowActivation* activation) { m_activation = activation; }
    bool allowsAccessibilitySelection() const { return m_allowsAccessibilitySelection; }
    bool usesApplicationScriptsSelection() const { return m_usesApplicationScriptsSelection; }
    // How script mode asks a file manager's helper program; rebuilds the resolver.
    void setSelectionScriptRun(FileSelectionResolver::ScriptRun run);
    const FileSelectionResolver& selectionResolver() const { return m_resolver; }

    // Where routed files are remembered (the tray instance's history); none keeps nothing.
    void setRoutingHistory(RoutingHistory* history);
    // Where a beep also shows why (the desktop's notifications); none: beeps only.
    void setNotifications(DesktopNotifications* notifications) {
        m_beeper.setNotifications(notifications);
    }

    // Runs a Shortcut, Service or script with the delegate's script mode.
    std::optional<QString> runExternalUtility(const ExternalUtilityRef& ref,
                                              const QList<QUrl>& files);

    RouteStore& store() { return m_store; }
    RoutingPipeline& pipeline() { return m_pipeline; }
    const TrayController& tray() const { return m_tray; }
    // Windows of ours report here while they show (taskbar entry and focus) and
    // carry the main menu.
    WindowPresenter& windowPresenter() { return m_windowPresenter; }
    MainMenuController& mainMenu() { return m_mainMenu; }
    // None until it was first shown.
    SettingsWindowController* settingsWindow() const { return m_settingsWindow.get(); }
    MenuBarDropController* dropController() const { return m_dropController.get(); }
    OnboardingWindowController* onboardingWindow() const { return m_onboarding.get(); }

    // Status menu.
    QList<Route> statusMenuRoutes() const override { return m_store.routes(); }
    bool hasCheckForUpdatesHandler() const override { return m_checkForUpdates.has_value(); }
    bool runsFromApplicationBundle() const override;
    void selectEditor(const QString& routeID, const QString& bundleID) override;
    void toggleFolder(const QString& routeID) override;
    void runExternalUtilityOnSelection(const ExternalUtilityRef& ref) override;
    void editRulesForRoute(const QString& routeID) override;
    void makeRouteDefaultHandler(const QString& routeID) override;
    void openSettings() override;
    void showOnboarding() override;
    void showDropPalette() override;
    void checkForUpdatesFromStatusMenu() override;
    void showAbout() override;
    void terminate() override;
    QList<RoutingHistoryEntry> recentlyRouted() const override;
    void openRoutedAgain(const QByteArray& path) override;
    void openRoutedWith(const QByteArray& path, const QString& bundleID) override;
    void showWhyRouted(const RoutingHistoryEntry& entry) override;

    // A closure for other objects that calls `method` on this delegate while it
    // exists and does nothing (returning `R{}`) once it is gone.
    template <typename R, typename... Args>
    std::function<R(Args...)> weakly(R (AppDelegate::*method)(Args...)) {
        return m_lifetime.guard([this, method](Args... args) -> R {
            return (this->*method)(std::forward<Args>(args)...);
        });
    }

    // Shows the settings window (created on first use) on a route when given.
    void showSettings(const std::optional<QString>& routeID);
    // After a picker choice confirmed with Shift: the rule sheet for that choice.
    void proposeRuleFromChoice(const QString& routeID, const QString& folder,
                               const Editor& editor) override;

private:
    // Tells the user once why the routes file read from disk was not taken.
    void reportReload(RouteStore::Reload result);
    void reportLoadFailure();
    // The resolver for the current flags.
    FileSelectionResolver makeSelectionResolver() const;
    bool windowsCanBeTranslucent() const { return !m_translucency || m_translucency(); }
    void createDropController();
    void createOnboardingWindow();
    // Hands a window the kept activation token just before it shows.
    void prepareToShow(QWidget* window) const;
    // Shows the window `reason` calls for, once the event loop turns.
    void present(LaunchReason reason);

    // First, so callbacks handed out while the members are built can be guarded;
    // ended by the destructor before any member goes.
    Lifetime m_lifetime;
    Platform m_platform;
    ExternalUtilityRunner m_utilityRunner;
    RouteStore m_store;
    std::unique_ptr<RoutesFileWatcher> m_routesWatcher;
    DefaultHandlerClaimer m_claimer;
    TypeTeacher m_teacher;
    BeepNotifier m_beeper;
    RoutingPipeline m_pipeline;
    HotkeyRecordingPeriod m_recordingPeriod;
    std::unique_ptr<RuleHotkeyCenter> m_hotkeys;
    TrayController m_tray;
    std::optional<CheckForUpdatesHandler> m_checkForUpdates;
    WindowPresenter m_windowPresenter;
    MainMenuController m_mainMenu;
    QPointer<QWidget> m_about;
    std::function<bool()> m_translucency;
    WindowActivation* m_activation = nullptr;
    std::unique_ptr<MenuBarDropController> m_dropController;
    std::unique_ptr<OnboardingWindowController> m_onboarding;
    bool m_allowsAccessibilitySelection = true;
    bool m_usesApplicationScriptsSelection = false;
    FileSelectionResolver::ScriptRun m_selectionScriptRun;
    QPointer<RoutingHistory> m_history;
    FileSelectionResolver m_resolver;
    std::unique_ptr<SettingsChoosers> m_settingsChoosers;
    std::unique_ptr<RuleHotkeyAccess> m_ruleHotkeys;
    std::unique_ptr<SettingsWindowController> m_settingsWindow;
};
