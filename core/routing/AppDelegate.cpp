#include "core/routing/AppDelegate.h"

#include "core/platform/Alerts.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"
#include "core/platform/TypeSystem.h"
#include "core/platform/Workspace.h"
#include "core/settings/DesktopSettingsChoosers.h"
#include "core/settings/SettingsWindowController.h"
#include "core/settings/StoredShortcutHotkeys.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>

namespace {
// Themed when the desktop entry's icons are installed, else the bundled ones.
QIcon applicationIcon(const QString& name) {
    return QIcon::fromTheme(name,
                            QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")));
}

QIcon trayIcon() {
    return applicationIcon(QStringLiteral("io.corvanta.Corvanta-symbolic"));
}
} // namespace

AppDelegate::AppDelegate(const Platform& platform, PickerPresenter& pickers,
                         UtilityPerformer& utilities, std::optional<QString> routesFilePath,
                         QObject* parent)
    : QObject(parent)
    , m_platform(platform)
    , m_store(platform.types, platform.workspace, std::move(routesFilePath))
    , m_claimer(platform.types, platform.workspace, platform.preferences, platform.alerts)
    , m_teacher(m_store, platform.types, platform.alerts, m_claimer,
                [self = QPointer<AppDelegate>(this)](const QString& routeID) {
                    if (self)
                        self->showSettings(routeID);
                })
    , m_pipeline(platform, m_store, pickers, utilities,
                 RoutingPipeline::Hooks{{},
                                        {},
                                        [self = QPointer<AppDelegate>(this)](const QUrl& url) {
                                            if (self)
                                                self->addTypeFromURL(url);
                                        },
                                        [self = QPointer<AppDelegate>(this)] {
                                            if (self)
                                                self->m_teacher.showMissingExtensionAlert();
                                        }},
                 this)
    , m_statusMenu(*this, platform.workspace)
    , m_settingsChoosers(std::make_unique<DesktopSettingsChoosers>(platform.workspace))
    , m_ruleHotkeys(std::make_unique<StoredShortcutHotkeys>(platform.shortcuts)) {}

// The window goes first: it refers to the store and the choosers.
AppDelegate::~AppDelegate() {
    m_settingsWindow.reset();
}

void AppDelegate::setSettingsChoosers(std::unique_ptr<SettingsChoosers> choosers) {
    m_settingsChoosers = std::move(choosers);
    m_settingsWindow.reset();
}

void AppDelegate::applicationDidFinishLaunching() {
    Q_ASSERT(QThread::currentThread() == thread());
    m_statusItem = std::make_unique<QSystemTrayIcon>(trayIcon());
    m_statusItem->setToolTip(QStringLiteral("Corvanta"));
    m_menu = std::make_unique<QMenu>();
    m_menu->setAccessibleName(QStringLiteral("Corvanta"));
    QMenu* menu = m_menu.get();
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { m_statusMenu.rebuild(*menu); });
    // A tray host may read the menu before it ever opens it.
    m_statusMenu.rebuild(*menu);
    m_statusItem->setContextMenu(menu);
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A plain click opens the same menu, as a menu-bar item would.
                if (reason == QSystemTrayIcon::Trigger && m_menu)
                    m_menu->popup(QCursor::pos());
            });
    m_statusItem->show();
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qWarning("Corvanta: the desktop shows no tray; files are still routed when opened");

    if (!m_platform.preferences.boolean(PreferenceKeys::hasCompletedMenuBarOnboarding)
             .value_or(false))
        QTimer::singleShot(0, this, [this] { showOnboarding(); });

    if (m_store.loadFailed() && m_store.loadFailureMessage()) {
        AlertRequest alert;
        alert.messageText = QStringLiteral("Could not load settings");
        alert.informativeText = *m_store.loadFailureMessage();
        m_platform.alerts.runAlert(alert);
    }
}

void AppDelegate::applicationOpenURLs(const QList<QUrl>& urls) {
    Q_ASSERT(QThread::currentThread() == thread());
    m_pipeline.open(urls);
}

void AppDelegate::routeSelection(const QSet<QString>& hotkeyNames) {
    Q_ASSERT(QThread::currentThread() == thread());
    m_pipeline.routeSelection(hotkeyNames);
}

std::optional<QString> AppDelegate::addTypeFromURL(const QUrl& url) {
    return m_teacher.addTypeFromURL(url);
}

void AppDelegate::handleDrop(const QUrl& url) {
    // The teaching dialogs may outlive the delegate; access ends regardless.
    Workspace& workspace = m_platform.workspace;
    addTypeFromURL(url);
    workspace.stopAccessingSecurityScopedResource(url);
}

void AppDelegate::setCheckForUpdatesHandler(std::optional<CheckForUpdatesHandler> handler) {
    m_checkForUpdates = std::move(handler);
}

void AppDelegate::setAllowsAccessibilitySelection(bool allows) {
    m_allowsAccessibilitySelection = allows;
}

void AppDelegate::setUsesApplicationScriptsSelection(bool uses) {
    m_usesApplicationScriptsSelection = uses;
}

bool AppDelegate::runsFromApplicationBundle() const {
    return m_claimer.runsFromApplicationBundle();
}

void AppDelegate::selectEditor(const QVariant& represented) {
    if (represented.typeId() != QMetaType::QStringList)
        return;
    const QStringList ids = represented.toStringList();
    if (ids.size() != 2)
        return;
    m_store.setActiveBundleID(ids[0], ids[1]);
}

void AppDelegate::toggleFolder(const QVariant& represented) {
    if (represented.typeId() != QMetaType::QString)
        return;
    const std::optional<Route> route = m_store.routeWithID(represented.toString());
    if (!route || !route->activeBundleID)
        return;
    m_store.toggleFolder(route->id, *route->activeBundleID);
}

void AppDelegate::editRulesForRoute(const QVariant& represented) {
    if (represented.typeId() != QMetaType::QString)
        return;
    showSettings(represented.toString());
    m_settingsWindow->tabs()->setCurrentIndex(SettingsWindowController::rulesTab);
}

void AppDelegate::makeRouteDefaultHandler(const QVariant& represented) {
    if (represented.typeId() != QMetaType::QString)
        return;
    const std::optional<Route> route = m_store.routeWithID(represented.toString());
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
        const QPointer<AppDelegate> weak(this);
        SettingsWindowController::Hooks hooks;
        hooks.addTypeFromURL = weakly(&AppDelegate::addTypeFromURL);
        hooks.onShowOnboarding = [weak] {
            if (weak)
                weak->showOnboarding();
        };
        hooks.rulesChanged = [weak](const QStringList& removed) {
            if (weak)
                weak->settingsRulesChanged(removed);
        };
        hooks.usesApplicationScripts = [weak] {
            return weak && weak->m_usesApplicationScriptsSelection;
        };
        m_settingsWindow = std::make_unique<SettingsWindowController>(
            m_store, m_platform, *m_settingsChoosers, *m_ruleHotkeys, std::move(hooks),
            m_allowsAccessibilitySelection, m_usesApplicationScriptsSelection);
    }
    m_settingsWindow->show(routeID);
}

void AppDelegate::settingsRulesChanged(const QStringList& removedRuleIDs) {
    for (const QString& ruleID : removedRuleIDs)
        clearRuleShortcut(ruleID);
    syncHotkeys();
}

void AppDelegate::showOnboarding() {}

// The rule hotkey center arrives with the global shortcut work; until then no
// shortcut is registered, so there is nothing to re-synchronise or clear.
void AppDelegate::syncHotkeys() {}

void AppDelegate::clearRuleShortcut(const QString& ruleID) {
    Q_UNUSED(ruleID);
}

// The standard About box; the main-menu presentation around it comes with the
// window-presentation work.
void AppDelegate::showAbout() {
    auto* box = new QMessageBox(
        QMessageBox::NoIcon, QStringLiteral("About Corvanta"),
        QStringLiteral("<b>Corvanta</b> %1").arg(QCoreApplication::applicationVersion()));
    box->setInformativeText(QStringLiteral("Decides which application opens a file."));
    box->setIconPixmap(applicationIcon(QStringLiteral("io.corvanta.Corvanta")).pixmap(64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->activateWindow();
}
