#include "core/settings/SettingsWindowController.h"

#include "core/model/RouteStore.h"
#include "core/platform/Alerts.h"
#include "core/platform/DesktopSettings.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionScriptRunner.h"
#include "core/settings/DefaultRuleEditorSheet.h"
#include "core/settings/EditorURLTemplateSheet.h"
#include "core/settings/EditorsSettingsPage.h"
#include "core/settings/ElidingLabel.h"
#include "core/settings/FileManagerActionsRow.h"
#include "core/settings/GeneralSettingsPage.h"
#include "core/settings/HistorySettingsBox.h"
#include "core/settings/NotificationSettingsBox.h"
#include "core/settings/OrderSettingsPage.h"
#include "core/settings/PermissionTilesView.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleDraft.h"
#include "core/settings/RuleEditorSheet.h"
#include "core/settings/RulesSettingsPage.h"
#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsChoosers.h"
#include "core/settings/SettingsControls.h"
#include "core/settings/StartAtLoginSwitch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using SettingsControls::button;

namespace {
QLabel* chip(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("QLabel { color: #c9ccd2; background: #2a2c31; border: 1px "
                                        "solid #4a4d55; border-radius: 9px; padding: 1px 8px; }"));
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    small.setLetterSpacing(QFont::PercentageSpacing, 105);
    label->setFont(small);
    return label;
}

const Rule* findRule(const std::optional<Route>& route, const QString& ruleID) {
    if (!route)
        return nullptr;
    for (const Rule& rule : route->rules) {
        if (rule.id == ruleID)
            return &rule;
    }
    return nullptr;
}
} // namespace

SettingsWindowController::SettingsWindowController(RouteStore& store, const Platform& platform,
                                                   SettingsChoosers& choosers,
                                                   RuleHotkeyAccess& hotkeys, Hooks hooks,
                                                   bool showsAccessibilityPermissions,
                                                   bool showsApplicationScriptsInstall,
                                                   QWidget* parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_platform(platform)
    , m_choosers(choosers)
    , m_hotkeys(hotkeys)
    , m_hooks(std::move(hooks))
    , m_descriptions(platform.shortcuts)
    , m_applications(platform.workspace)
    , m_showsAccessibilityPermissions(showsAccessibilityPermissions)
    , m_showsApplicationScriptsInstall(showsApplicationScriptsInstall) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("corvanta \u00b7 settings"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("io.corvanta.Corvanta"),
                                   QIcon(QStringLiteral(":/icons/io.corvanta.Corvanta.svg"))));
    SettingsAppearance::applyDark(this);
    resize(560, 860);
    setMinimumSize(480, 560);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(buildHeader());
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("settingsTabWidget"));
    m_generalPage = new GeneralSettingsPage(platform.preferences, m_hooks.onShowOnboarding);
    m_generalPage->addRow(
        new StartAtLoginSwitch(platform.loginItem, platform.alerts, m_generalPage));
    m_generalPage->addRow(
        new HistorySettingsBox(platform.preferences, m_hooks.clearHistory, m_generalPage));
    m_generalPage->addRow(new NotificationSettingsBox(platform.preferences, m_generalPage));
    connect(m_generalPage, &GeneralSettingsPage::pickerStyleChanged, this,
            &SettingsWindowController::reload);
    auto* editors = new EditorsSettingsPage(store, platform, choosers, m_applications,
                                            m_hooks.usesApplicationScripts);
    connect(editors, &EditorsSettingsPage::editTemplateRequested, this,
            &SettingsWindowController::editTemplate);
    auto* rules = new RulesSettingsPage(store, m_descriptions, platform.shortcuts,
                                        platform.clipboard, m_hooks.ruleLinkTemplate);
    connect(rules, &RulesSettingsPage::editRuleRequested, this,
            &SettingsWindowController::editRule);
    connect(rules, &RulesSettingsPage::editDefaultRuleRequested, this,
            &SettingsWindowController::editDefaultRule);
    m_pages = {m_generalPage, editors, new OrderSettingsPage(store, m_applications), rules};
    const QStringList titles{QStringLiteral("general"), QStringLiteral("editors"),
                             QStringLiteral("order"), QStringLiteral("rules")};
    for (int i = 0; i < m_pages.size(); ++i)
        m_tabs->addTab(m_pages.at(i), titles.at(i));
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buildPermissions());
    setCentralWidget(central);
    // Every change, from these pages, the tray or the file on disk, shows here.
    m_changeHandler = m_store.addChangeHandler([this] { reload(); });
    // The pages fill on the first show, which picks the route: loading them here
    // as well would build every row twice before the window is ever seen.
}

SettingsWindowController::~SettingsWindowController() {
    m_store.removeChangeHandler(m_changeHandler);
}

RuleEditorSheet* SettingsWindowController::ruleSheet() const {
    return m_ruleSheet;
}

DefaultRuleEditorSheet* SettingsWindowController::defaultRuleSheet() const {
    return m_defaultRuleSheet;
}

EditorURLTemplateSheet* SettingsWindowController::urlTemplateSheet() const {
    return m_urlTemplateSheet;
}

QWidget* SettingsWindowController::buildPermissions() {
    auto* section = new QWidget;
    section->setObjectName(QStringLiteral("permissionsSection"));
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    PermissionTilesView::Hooks tileHooks;
    if (m_platform.desktopSettings.canOpenAccessibilitySettings())
        tileHooks.openAccessibilitySettings = [this] {
            m_platform.desktopSettings.openAccessibilitySettings();
        };
    if (m_showsApplicationScriptsInstall)
        tileHooks.runInstalledScript = [this] { return runInstalledScriptForStatus(); };
    m_permissionTiles = new PermissionTilesView(
        m_platform.selectionPermissions, m_choosers, m_showsAccessibilityPermissions,
        m_showsApplicationScriptsInstall, std::move(tileHooks), section);
    layout->addWidget(m_permissionTiles);
    m_fileManagerActions =
        new FileManagerActionsRow(m_store, m_platform.shortcuts, m_platform.alerts, section);
    layout->addWidget(m_fileManagerActions);
    // Permissions granted elsewhere show when the user comes back.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible())
                    m_permissionTiles->refresh();
            });
    return section;
}

QWidget* SettingsWindowController::buildHeader() {
    auto* header = new QWidget;
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);

    auto* mark = new QLabel(header);
    mark->setObjectName(QStringLiteral("markLabel"));
    mark->setPixmap(windowIcon().pixmap(36, 36));
    mark->setAccessibleName(QStringLiteral("Corvanta"));
    m_routeTitle = new QLabel(header);
    m_routeTitle->setObjectName(QStringLiteral("routeTitleLabel"));
    m_routeTitle->setTextFormat(Qt::PlainText);
    QFont titleFont = m_routeTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_routeTitle->setFont(titleFont);
    m_metaLine = new ElidingLabel(header);
    m_metaLine->setForegroundRole(QPalette::PlaceholderText);
    m_metaLine->setObjectName(QStringLiteral("metaLineLabel"));
    m_metaLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_routePopup = new QComboBox(header);
    auto* routeLabel =
        SettingsControls::labelFor(QStringLiteral("File type:"), m_routePopup, header);
    m_routePopup->setObjectName(QStringLiteral("routePopUpButton"));
    m_routePopup->setAccessibleName(QStringLiteral("File type"));
    m_routePopup->setToolTip(QStringLiteral("Switch which file type these settings apply to"));
    m_routePopup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_routePopup, &QComboBox::activated, this, [this](int index) {
        m_selectedRouteID = m_routePopup->itemData(index).toString();
        reload();
    });

    m_pickerChip = chip(header, QStringLiteral("pickerChipLabel"));
    m_activeChip = chip(header, QStringLiteral("activeChipLabel"));
    auto* addTypeButton =
        button(QStringLiteral("Add Type\u2026"),
               QStringLiteral("Teach Corvanta a new file type from a sample file"),
               QStringLiteral("addTypeButton"), header);
    m_removeTypeButton = button(QStringLiteral("Remove Type"),
                                QStringLiteral("Remove this custom file type and its settings"),
                                QStringLiteral("removeTypeButton"), header);
    connect(addTypeButton, &QPushButton::clicked, this, &SettingsWindowController::addType);
    connect(m_removeTypeButton, &QPushButton::clicked, this, &SettingsWindowController::removeType);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(m_routeTitle);
    titles->addWidget(m_metaLine);
    auto* chips = new QHBoxLayout;
    chips->setSpacing(6);
    chips->addWidget(m_pickerChip);
    chips->addWidget(m_activeChip);
    chips->addStretch();
    auto* typeButtons = new QHBoxLayout;
    typeButtons->addWidget(routeLabel);
    typeButtons->addWidget(m_routePopup, 1);
    typeButtons->addWidget(addTypeButton);
    typeButtons->addWidget(m_removeTypeButton);

    grid->addLayout(typeButtons, 0, 0, 1, 2);
    grid->addWidget(mark, 1, 0, 2, 1, Qt::AlignTop);
    grid->addLayout(titles, 1, 1);
    grid->addLayout(chips, 2, 1);
    grid->setColumnStretch(1, 1);
    return header;
}

void SettingsWindowController::show(const std::optional<QString>& routeID) {
    // Applications installed or removed meanwhile show from here on.
    m_applications.forget();
    if (routeID && m_store.routeWithID(*routeID))
        m_selectedRouteID = routeID;
    reload();
    // The probes ask other processes; the window shows first and the tiles follow.
    QTimer::singleShot(0, m_permissionTiles, &PermissionTilesView::refresh);
    m_fileManagerActions->refresh();
    if (m_hooks.prepareToShow)
        m_hooks.prepareToShow(this);
    QMainWindow::show();
    raise();
    activateWindow();
    offerApplicationScriptsInstall();
}

void SettingsWindowController::offerApplicationScriptsInstall() {
    if (!m_showsApplicationScriptsInstall || m_didOfferApplicationScriptsInstall ||
        ApplicationScriptsInstaller::areScriptsCurrent(
            ApplicationScriptsInstaller::defaultDirectory()))
        return;
    m_didOfferApplicationScriptsInstall = true;
    // The folder dialog comes up over the window, once it shows.
    QTimer::singleShot(0, m_permissionTiles, [tiles = m_permissionTiles] {
        tiles->requestScriptsInstall([tiles](bool installed) {
            tiles->refresh();
            if (!installed)
                qWarning("Corvanta: Application Scripts install was cancelled or failed");
        });
    });
}

TCCPermissions::ScriptCheck SettingsWindowController::runInstalledScriptForStatus() const {
    const SelectionScriptRunner runner(m_platform.processes);
    const SelectionScriptRunner::Outcome outcome =
        runner.run(ScriptableFileManager::builtins().first(), SelectionScriptRunner::statusTimeout);
    switch (outcome.kind) {
    case SelectionScriptRunner::Outcome::Kind::succeeded:
        return TCCPermissions::ScriptCheck::succeeded;
    case SelectionScriptRunner::Outcome::Kind::missingScript:
        return TCCPermissions::ScriptCheck::missingScript;
    case SelectionScriptRunner::Outcome::Kind::failed:
        break;
    }
    return TCCPermissions::ScriptCheck::failed;
}

void SettingsWindowController::reload() {
    const QList<Route> routes = m_store.routes();
    m_selectedRouteID = RouteSettingsSummary::resolveSelection(routes, m_selectedRouteID);
    std::optional<Route> route;
    {
        const QSignalBlocker blocker(m_routePopup);
        m_routePopup->clear();
        for (const Route& r : routes) {
            m_routePopup->addItem(r.name, r.id);
            if (m_selectedRouteID && r.id == *m_selectedRouteID) {
                m_routePopup->setCurrentIndex(m_routePopup->count() - 1);
                route = r;
            }
        }
    }
    reloadHeader(route);
    for (SettingsPage* page : std::as_const(m_pages)) {
        page->setEnabled(route.has_value() || page == m_generalPage);
        page->reload(route.value_or(Route()));
    }
}

void SettingsWindowController::reloadHeader(const std::optional<Route>& route) {
    m_routeTitle->setText(route ? route->name : QString());
    m_metaLine->setFullText(route ? RouteSettingsSummary::metaLine(*route) : QString());
    std::optional<Editor> active = route ? route->activeEditor() : std::nullopt;
    m_activeChip->setText(QStringLiteral("ACTIVE  ") +
                          (active ? active->name : QStringLiteral("\u2014")));
    m_pickerChip->setText(QStringLiteral("PICKER  ") + (m_generalPage->usesListPicker()
                                                            ? QStringLiteral("list")
                                                            : QStringLiteral("radial")));
    m_removeTypeButton->setEnabled(route && route->isCustom);
}

void SettingsWindowController::addType() {
    const std::optional<QUrl> sample = m_choosers.chooseFile(
        this, {QString(), QStringLiteral("Add Type"),
               QStringLiteral("Choose a sample file for the type to teach corvanta."), QString()});
    if (!sample || !m_hooks.addTypeFromURL)
        return;
    if (const std::optional<QString> routeID = m_hooks.addTypeFromURL(*sample))
        m_selectedRouteID = routeID;
    reload();
}

void SettingsWindowController::removeType() {
    const std::optional<Route> route =
        m_selectedRouteID ? m_store.routeWithID(*m_selectedRouteID) : std::nullopt;
    if (!route || !route->isCustom)
        return;
    AlertRequest alert;
    alert.messageText = QStringLiteral("Remove ") + route->name + QStringLiteral("?");
    alert.informativeText = QStringLiteral(
        "This custom type will no longer be routed. System defaults are left unchanged.");
    alert.buttons = {QStringLiteral("Remove"), QStringLiteral("Cancel")};
    alert.cancelButton = 1;
    if (m_platform.alerts.runAlert(alert) == 0)
        m_store.removeCustomRoute(route->id);
}

bool SettingsWindowController::stillThere(const QString& routeID, const QString& what,
                                          bool found) const {
    if (found)
        return true;
    AlertRequest alert;
    alert.messageText = QStringLiteral("Could not save");
    alert.informativeText =
        what + QStringLiteral(" was removed from the routes file while you were editing it (") +
        routeID +
        QStringLiteral("). Your changes are still open; copy what you need, then cancel.");
    alert.style = AlertRequest::Style::warning;
    m_platform.alerts.runAlert(alert);
    return false;
}

template <typename Sheet>
void SettingsWindowController::openSheet(QPointer<Sheet>& slot, Sheet* sheet) {
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    slot = sheet;
    // A finished sheet is only deleted later; another may open meanwhile.
    connect(sheet, &QDialog::finished, this, [&slot] { slot = nullptr; });
    sheet->open();
}

void SettingsWindowController::editTemplate(const QString& routeID, const QString& bundleID) {
    const std::optional<Route> route = m_store.routeWithID(routeID);
    if (!route || m_urlTemplateSheet)
        return;
    for (const Editor& editor : route->editors) {
        if (editor.bundleID != bundleID)
            continue;
        openSheet(m_urlTemplateSheet,
                  new EditorURLTemplateSheet(
                      editor.name, editor.urlSchemeTemplate,
                      [this, routeID, bundleID,
                       name = editor.name](const std::optional<QString>& urlTemplate) {
                          const std::optional<Route> now = m_store.routeWithID(routeID);
                          const bool found =
                              now &&
                              std::any_of(now->editors.begin(), now->editors.end(),
                                          [&](const Editor& e) { return e.bundleID == bundleID; });
                          if (!stillThere(routeID,
                                          QStringLiteral("The editor \u201c") + name +
                                              QStringLiteral("\u201d"),
                                          found))
                              return false;
                          m_store.setURLSchemeTemplate(routeID, bundleID, urlTemplate);
                          return true;
                      },
                      this));
        return;
    }
}

void SettingsWindowController::editRule(const QString& routeID, const QString& ruleID) {
    // The rule as the store holds it now, not as the list showed it.
    const std::optional<Route> route = m_store.routeWithID(routeID);
    const Rule* rule = findRule(route, ruleID);
    if (!route || (!ruleID.isEmpty() && !rule))
        return;
    openRuleSheet(*route,
                  rule ? RuleDraft::fromRule(*rule, *route)
                       : RuleDraft::forNewRule(*route, QDir::homePath()),
                  rule != nullptr, false);
}

void SettingsWindowController::proposeRule(const QString& folder, const QString& bundleID) {
    const std::optional<Route> route =
        m_selectedRouteID ? m_store.routeWithID(*m_selectedRouteID) : std::nullopt;
    if (route)
        openRuleSheet(*route, RuleDraft::forChoice(*route, folder, bundleID), false, true);
}

void SettingsWindowController::openRuleSheet(const Route& route, RuleDraft draft, bool existing,
                                             bool placedFirst) {
    if (m_ruleSheet)
        return;
    const QString routeID = route.id;
    openSheet(m_ruleSheet,
              new RuleEditorSheet(
                  route, std::move(draft),
                  [this, routeID, existing, placedFirst, name = route.name](
                      const Rule& saved, const std::optional<QStringList>& defaultOrder) {
                      const std::optional<Route> now = m_store.routeWithID(routeID);
                      const bool found = now && (!existing || findRule(now, saved.id));
                      if (!stillThere(routeID,
                                      existing ? QStringLiteral("This rule")
                                               : QStringLiteral("The file type \u201c") + name +
                                                     QStringLiteral("\u201d"),
                                      found))
                          return false;
                      m_store.upsertRule(routeID, saved);
                      if (placedFirst)
                          m_store.moveRule(routeID, m_store.routeWithID(routeID)->rules.size() - 1,
                                           0);
                      if (defaultOrder)
                          m_store.setDefaultPreferenceOrder(routeID, *defaultOrder);
                      return true;
                  },
                  m_choosers, m_hotkeys, m_platform.alerts, this));
}

void SettingsWindowController::editDefaultRule(const QString& routeID) {
    // The route as the store holds it now: a tray choice may have changed its active editor.
    const std::optional<Route> route = m_store.routeWithID(routeID);
    if (!route || m_defaultRuleSheet)
        return;
    openSheet(m_defaultRuleSheet, new DefaultRuleEditorSheet(
                                      *route,
                                      [this, routeID, name = route->name](
                                          RuleActionKind kind, const QStringList& bundleIDs) {
                                          if (!stillThere(routeID,
                                                          QStringLiteral("The file type \u201c") +
                                                              name + QStringLiteral("\u201d"),
                                                          m_store.routeWithID(routeID).has_value()))
                                              return false;
                                          m_store.setDefaultActionKind(routeID, kind);
                                          m_store.setDefaultOpenBundleIDs(routeID, bundleIDs);
                                          return true;
                                      },
                                      this));
}

void SettingsWindowController::closeEvent(QCloseEvent* event) {
    // Open sheets end as if cancelled, so a rule's hotkey goes back as it was.
    if (m_ruleSheet)
        m_ruleSheet->reject();
    if (m_defaultRuleSheet)
        m_defaultRuleSheet->reject();
    if (m_urlTemplateSheet)
        m_urlTemplateSheet->reject();
    if (m_hooks.onWillClose)
        m_hooks.onWillClose();
    event->accept();
    hide();
}
