#include "core/routing/AppDelegate.h"

#include "core/engine/RuleDescriptions.h"
#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/WhyRoutedWindow.h"
#include "core/model/LocalFileURL.h"
#include "core/platform/Alerts.h"
#include "core/platform/DesktopTray.h"
#include "core/platform/FrontmostApplication.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"
#include "core/platform/StartupTimeline.h"
#include "core/platform/TypeSystem.h"
#include "core/platform/WindowActivation.h"
#include "core/platform/Workspace.h"
#include "core/routing/OpenRequestParser.h"
#include "core/routing/SecurityScope.h"
#include "core/routing/WhyRoutedText.h"
#include "core/settings/DesktopSettingsChoosers.h"
#include "core/settings/RegistryRuleHotkeys.h"
#include "core/settings/SettingsWindowController.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

AppDelegate::AppDelegate(const Platform& platform, PickerPresenter& pickers,
                         UtilityPerformer& utilities, std::optional<QString> routesFilePath,
                         QObject* parent, RouteStore::Access access)
    : QObject(parent)
    , m_platform(platform)
    , m_utilityRunner(platform.processes, ExternalUtilityRunner::Folders::fromEnvironment())
    , m_store(platform.types, platform.workspace, std::move(routesFilePath), access)
    , m_claimer(platform.types, platform.workspace, platform.preferences, platform.alerts)
    , m_teacher(m_store, platform.types, platform.alerts, m_claimer,
                m_lifetime.guard([this](const QString& routeID) { showSettings(routeID); }))
    , m_beeper(platform.alerts, platform.preferences)
    , m_pipeline(platform, m_store, pickers, utilities,
                 {m_resolver, m_utilityRunner, m_teacher, m_beeper, *this}, this)
    , m_recordingPeriod(platform.shortcuts, &QGuiApplication::queryKeyboardModifiers)
    , m_tray(*this, platform.workspace, platform.tray)
    , m_resolver(makeSelectionResolver())
    , m_settingsChoosers(std::make_unique<DesktopSettingsChoosers>(platform.workspace))
    , m_ruleHotkeys(std::make_unique<RegistryRuleHotkeys>(platform.shortcuts, m_recordingPeriod)) {
    m_mainMenu.setOpenSettings(weakly(&AppDelegate::openSettings));
    m_mainMenu.setShowAbout(weakly(&AppDelegate::showAbout));
    m_mainMenu.setQuit(weakly(&AppDelegate::terminate));
    if (!m_store.isReadOnly()) {
        m_store.setReloadHandler([this](RouteStore::Reload result) { reportReload(result); });
        m_routesWatcher = std::make_unique<RoutesFileWatcher>(m_store);
    }
}

AppDelegate::~AppDelegate() {
    m_lifetime.end();
}

void AppDelegate::reportReload(RouteStore::Reload result) {
    // As at start-up; a file that stays damaged through further edits is not reported again.
    // Not from inside the store: the alert runs an event loop of its own.
    if (result == RouteStore::Reload::failed)
        QTimer::singleShot(0, this, [this] { reportLoadFailure(); });
}

void AppDelegate::reportLoadFailure() {
    if (!m_store.loadFailed() || !m_store.loadFailureMessage())
        return;
    AlertRequest alert;
    alert.messageText = QStringLiteral("Could not load settings");
    alert.informativeText = *m_store.loadFailureMessage();
    m_platform.alerts.runAlert(alert);
}

void AppDelegate::applicationDidFinishLaunching(LaunchReason reason) {
    Q_ASSERT(QThread::currentThread() == thread());
    m_tray.show();
    createDropController();
    // The onboarding window is built when it first shows: once onboarded, an
    // idle tray never loads its fonts and illustrations.
    StartupTimeline::mark("tray built");

    // Rule hotkeys follow the store from here on: every change re-syncs them, and
    // a rule that leaves the store takes its shortcut along.
    m_hotkeys = std::make_unique<RuleHotkeyCenter>(m_platform.shortcuts,
                                                   weakly(&AppDelegate::routeSelection));
    m_hotkeys->follow(m_store);
    StartupTimeline::mark("hotkeys registered");
    // Keys released in another program are never seen; leaving ends the wait,
    // and coming back to a recorder still recording begins it again.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        m_recordingPeriod.resume();
                    else if (m_recordingPeriod.isActive())
                        m_recordingPeriod.endOnRequest();
                });

    present(reason);
    reportLoadFailure();
}

void AppDelegate::applicationDidActivate() {
    present(LaunchReason::activate);
}

void AppDelegate::present(LaunchReason reason) {
    const bool completed =
        m_platform.preferences.boolean(PreferenceKeys::hasCompletedMenuBarOnboarding)
            .value_or(false);
    switch (LaunchPresentation::windowFor(reason, m_platform.tray.isAvailable(), completed)) {
    case LaunchPresentation::Window::onboarding:
        QTimer::singleShot(0, this, [this] { showOnboarding(); });
        break;
    case LaunchPresentation::Window::settings:
        QTimer::singleShot(0, this, [this] { openSettings(); });
        break;
    case LaunchPresentation::Window::none:
        break;
    }
}

void AppDelegate::applicationOpenURLs(const QList<QUrl>& urls) {
    Q_ASSERT(QThread::currentThread() == thread());
    // One stat(): a hand edit made just before the double-click already counts.
    m_store.reloadIfChanged();
    m_pipeline.open(urls);
}

void AppDelegate::routeSelection(const QSet<QString>& hotkeyNames) {
    Q_ASSERT(QThread::currentThread() == thread());
    m_store.reloadIfChanged();
    // The resolver runs through the pipeline's hook; an empty selection beeps.
    m_pipeline.routeSelection(hotkeyNames);
}

void AppDelegate::routeGivenSelection(const QList<QUrl>& files, const QSet<QString>& hotkeyNames) {
    Q_ASSERT(QThread::currentThread() == thread());
    m_pipeline.routeGivenSelection(files, hotkeyNames);
}

std::optional<QString> AppDelegate::addTypeFromURL(const QUrl& url) {
    return m_teacher.addTypeFromURL(url);
}

void AppDelegate::handleDrop(const QUrl& url) {
    // The teaching dialogs may outlive the delegate; access ends regardless.
    const SecurityScope::Shared scope = SecurityScope::adopt(m_platform.workspace, {url});
    addTypeFromURL(url);
}

void AppDelegate::setCheckForUpdatesHandler(std::optional<CheckForUpdatesHandler> handler) {
    m_checkForUpdates = std::move(handler);
    if (m_checkForUpdates)
        m_mainMenu.setCheckForUpdates(weakly(&AppDelegate::checkForUpdatesFromStatusMenu));
    else
        m_mainMenu.setCheckForUpdates(std::nullopt);
}

void AppDelegate::setAllowsAccessibilitySelection(bool allows) {
    m_allowsAccessibilitySelection = allows;
    m_resolver = makeSelectionResolver();
}

void AppDelegate::setUsesApplicationScriptsSelection(bool uses) {
    m_usesApplicationScriptsSelection = uses;
    m_utilityRunner.setUsesApplicationScripts(uses);
    m_resolver = makeSelectionResolver();
}

void AppDelegate::setSelectionScriptRun(FileSelectionResolver::ScriptRun run) {
    m_selectionScriptRun = std::move(run);
    m_resolver = makeSelectionResolver();
}

FileSelectionResolver AppDelegate::makeSelectionResolver() const {
    return FileSelectionResolver::make(
        FileSelectionResolver::Ports{m_platform.frontmost, m_platform.accessibilitySelection,
                                     m_platform.fileManagerSelection},
        m_allowsAccessibilitySelection, m_usesApplicationScriptsSelection, m_selectionScriptRun);
}

bool AppDelegate::runsFromApplicationBundle() const {
    return m_claimer.runsFromApplicationBundle();
}

void AppDelegate::selectEditor(const QString& routeID, const QString& bundleID) {
    m_store.setActiveBundleID(routeID, bundleID);
}

void AppDelegate::toggleFolder(const QString& routeID) {
    const std::optional<Route> route = m_store.routeWithID(routeID);
    if (!route || !route->activeBundleID)
        return;
    m_store.toggleFolder(route->id, *route->activeBundleID);
}

std::optional<QString> AppDelegate::runExternalUtility(const ExternalUtilityRef& ref,
                                                       const QList<QUrl>& files) {
    return m_utilityRunner.run(ref, files);
}

void AppDelegate::runExternalUtilityOnSelection(const ExternalUtilityRef& ref) {
    const Lifetime::Watch alive = m_lifetime.watch();
    Alerts& alerts = m_platform.alerts;
    const QList<QUrl> files = m_resolver.selectedFileURLs();
    if (!alive)
        return;
    if (files.isEmpty()) {
        alerts.runAlert(AlertRequest::warning(
            ref.name(), PlatformTexts::text("Select one or more files in Finder (or another "
                                            "file manager), then try again.")));
        return;
    }
    if (const std::optional<QString> failure = runExternalUtility(ref, files))
        alerts.runAlert(AlertRequest::warning(ref.name(), *failure));
}

void AppDelegate::editRulesForRoute(const QString& routeID) {
    showSettings(routeID);
    m_settingsWindow->tabs()->setCurrentIndex(SettingsWindowController::rulesTab);
}

void AppDelegate::makeRouteDefaultHandler(const QString& routeID) {
    const std::optional<Route> route = m_store.routeWithID(routeID);
    if (!route)
        return;
    if (!runsFromApplicationBundle()) {
        AlertRequest alert;
        alert.messageText = QStringLiteral("Not running from an app bundle");
        alert.informativeText = PlatformTexts::text(
            "Build Corvanta.app (scripts/mkapp.sh), install it, and run it from there.");
        m_platform.alerts.runAlert(alert);
        return;
    }
    QStringList types;
    for (const QString& extension : route->extensions) {
        if (const std::optional<QString> type =
                m_platform.types.typeForFilenameExtension(extension);
            type && !types.contains(*type))
            types.append(*type);
    }
    m_claimer.claimDefaultHandler(types);
}

void AppDelegate::checkForUpdatesFromStatusMenu() {
    if (m_checkForUpdates && *m_checkForUpdates)
        (*m_checkForUpdates)();
}

void AppDelegate::terminate() {
    QCoreApplication::quit();
}

void AppDelegate::openSettings() {
    showSettings(std::nullopt);
}

void AppDelegate::showSettings(const std::optional<QString>& routeID) {
    if (!m_settingsWindow) {
        SettingsWindowController::Hooks hooks;
        hooks.addTypeFromURL = weakly(&AppDelegate::addTypeFromURL);
        hooks.onShowOnboarding = weakly(&AppDelegate::showOnboarding);
        // Closing ends a recording and switches the hotkeys back on.
        hooks.onWillClose = m_lifetime.guard([this] { m_recordingPeriod.endOnRequest(); });
        hooks.usesApplicationScripts =
            m_lifetime.guard([this] { return m_usesApplicationScriptsSelection; });
        hooks.ruleLinkTemplate = &urlSchemeTemplate;
        hooks.prepareToShow = m_lifetime.guard([this](QWidget* window) { prepareToShow(window); });
        hooks.clearHistory = m_lifetime.guard([this] {
            if (m_history)
                m_history->clear();
        });
        m_settingsWindow = std::make_unique<SettingsWindowController>(
            m_store, m_platform, *m_settingsChoosers, *m_ruleHotkeys, std::move(hooks),
            m_allowsAccessibilitySelection, m_usesApplicationScriptsSelection);
        m_windowPresenter.track(WindowPresenter::Presenter::settings, m_settingsWindow.get());
        m_mainMenu.install(m_settingsWindow.get());
    }
    m_settingsWindow->show(routeID);
}

void AppDelegate::showOnboarding() {
    if (!m_onboarding)
        createOnboardingWindow();
    m_onboarding->showOnboarding();
}

void AppDelegate::showDropPalette() {
    if (!m_dropController)
        createDropController();
    m_dropController->showPaletteUntilDismissed();
}

void AppDelegate::prepareToShow(QWidget* window) const {
    if (m_activation)
        m_activation->prepareToShow(window->winId());
}

void AppDelegate::setWindowsCanBeTranslucent(std::function<bool()> translucency) {
    m_translucency = std::move(translucency);
}

void AppDelegate::createDropController() {
    m_dropController = std::make_unique<MenuBarDropController>(
        weakly(&AppDelegate::handleDrop),
        m_lifetime.guard(
            [this](DropPaletteSurface::Callbacks callbacks) -> std::unique_ptr<DropPaletteSurface> {
                return std::make_unique<DropPalettePanel>(std::move(callbacks),
                                                          windowsCanBeTranslucent());
            }),
        m_tray.geometry(), MenuBarDropController::eventLoopScheduler(this));
    m_platform.tray.watchDragsOverIcon(m_tray.geometry().icon, m_lifetime.guard([this](bool over) {
        if (!m_dropController)
            return;
        if (over)
            m_dropController->showPalette();
        else
            m_dropController->dragLeftIcon();
    }));
}

void AppDelegate::createOnboardingWindow() {
    if (m_onboarding)
        return;
    m_onboarding = std::make_unique<OnboardingWindowController>(
        m_platform.preferences, m_platform.tray, m_platform.loginItem, m_tray.geometry(),
        windowsCanBeTranslucent());
    m_onboarding->onWillShow = m_lifetime.guard([this] {
        m_mainMenu.install(m_onboarding.get());
        prepareToShow(m_onboarding.get());
    });
    m_windowPresenter.track(WindowPresenter::Presenter::onboarding, m_onboarding.get());
}

// The standard About box. Corvanta keeps its taskbar entry while the box shows
// (not just for a turn of the event loop) so the box cannot end up behind
// other windows with nothing to bring it back.
void AppDelegate::showAbout() {
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    auto* box = new QMessageBox(
        QMessageBox::NoIcon, QStringLiteral("About Corvanta"),
        QStringLiteral("<b>Corvanta</b> %1").arg(QCoreApplication::applicationVersion()));
    box->setInformativeText(QStringLiteral("Decides which application opens a file."));
    box->setIconPixmap(
        TrayController::applicationIcon(QStringLiteral("io.corvanta.Corvanta")).pixmap(64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("aboutBox"));
    m_about = box;
    m_windowPresenter.track(WindowPresenter::Presenter::about, box);
    box->show();
}

QList<RoutingHistoryEntry> AppDelegate::recentlyRouted() const {
    return m_history ? m_history->entries() : QList<RoutingHistoryEntry>();
}

void AppDelegate::openRoutedAgain(const QByteArray& path) {
    applicationOpenURLs({LocalFileURL::fromNativePath(path)});
}

void AppDelegate::openRoutedWith(const QByteArray& path, const QString& bundleID) {
    m_store.reloadIfChanged();
    for (const Route& route : m_store.routes()) {
        for (const Editor& editor : route.editors) {
            if (editor.bundleID == bundleID) {
                m_pipeline.opener().openFiles({LocalFileURL::fromNativePath(path)}, editor, {});
                return;
            }
        }
    }
}

void AppDelegate::showWhyRouted(const RoutingHistoryEntry& entry) {
    m_store.reloadIfChanged();
    const FileDecider decider(m_store, m_platform.running, m_platform.metadata);
    const FileDecision now =
        decider.decide(LocalFileURL::fromNativePath(entry.path), std::nullopt, std::nullopt);
    auto* window =
        new WhyRoutedWindow(entry.displayPath(), WhyRoutedText::recorded(entry),
                            WhyRoutedText::now(now, RuleDescriptions(m_platform.shortcuts)));
    window->show();
    window->raise();
    window->activateWindow();
}

void AppDelegate::proposeRuleFromChoice(const QString& routeID, const QString& folder,
                                        const Editor& editor) {
    showSettings(routeID);
    m_settingsWindow->proposeRule(folder, editor.bundleID);
}

void AppDelegate::setRoutingHistory(RoutingHistory* history) {
    m_history = history;
    m_pipeline.setRecorder(history ? *history : RoutingRecorder::none());
    if (history)
        connect(history, &QObject::destroyed, this, [this] {
            if (!m_history)
                m_pipeline.setRecorder(RoutingRecorder::none());
        });
}
