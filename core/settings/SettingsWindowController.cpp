#include "core/settings/SettingsWindowController.h"

#include "core/model/RouteStore.h"
#include "core/pickers/PickerUtilityAppearance.h"
#include "core/platform/Alerts.h"
#include "core/platform/Clipboard.h"
#include "core/platform/DesktopSettings.h"
#include "core/platform/FileRevealer.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"
#include "core/platform/Workspace.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/selection/ScriptableFileManager.h"
#include "core/selection/SelectionScriptRunner.h"
#include "core/settings/DefaultRuleEditorSheet.h"
#include "core/settings/EditorRowView.h"
#include "core/settings/EditorURLTemplateSheet.h"
#include "core/settings/FileManagerActionsRow.h"
#include "core/settings/HistorySettingsBox.h"
#include "core/settings/NotificationSettingsBox.h"
#include "core/settings/PermissionTilesView.h"
#include "core/settings/ReorderableList.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleEditorSheet.h"
#include "core/settings/RuleRowView.h"
#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsChoosers.h"
#include "core/utilities/ExternalUtilityCatalog.h"
#include "core/utilities/ExternalUtilityChecklistSheet.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString radialStyle = QStringLiteral("radial");
const QString listStyle = QStringLiteral("list");

QLabel* secondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

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

QPushButton* button(const QString& text, const QString& tip, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
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
    m_tabs->addTab(buildGeneralTab(), QStringLiteral("general"));
    m_tabs->addTab(buildEditorsTab(), QStringLiteral("editors"));
    m_tabs->addTab(buildOrderTab(), QStringLiteral("order"));
    m_tabs->addTab(buildRulesTab(), QStringLiteral("rules"));
    layout->addWidget(m_tabs, 1);
    m_permissionsSection = new QWidget(central);
    m_permissionsSection->setObjectName(QStringLiteral("permissionsSection"));
    auto* permissionsLayout = new QVBoxLayout(m_permissionsSection);
    permissionsLayout->setContentsMargins(0, 0, 0, 0);
    PermissionTilesView::Hooks tileHooks;
    if (platform.desktopSettings.canOpenAccessibilitySettings())
        tileHooks.openAccessibilitySettings = [this] {
            m_platform.desktopSettings.openAccessibilitySettings();
        };
    if (m_showsApplicationScriptsInstall)
        tileHooks.runInstalledScript = [this] { return runInstalledScriptForStatus(); };
    m_permissionTiles = new PermissionTilesView(
        platform.selectionPermissions, choosers, m_showsAccessibilityPermissions,
        m_showsApplicationScriptsInstall, std::move(tileHooks), m_permissionsSection);
    permissionsLayout->addWidget(m_permissionTiles);
    m_fileManagerActions =
        new FileManagerActionsRow(store, platform.shortcuts, platform.alerts, m_permissionsSection);
    permissionsLayout->addWidget(m_fileManagerActions);
    layout->addWidget(m_permissionsSection);
    // Permissions granted elsewhere show when the user comes back.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible())
                    m_permissionTiles->refresh();
            });
    setCentralWidget(central);
    refreshPickerStyle();
    reload();
}

SettingsWindowController::~SettingsWindowController() = default;

RuleEditorSheet* SettingsWindowController::ruleSheet() const {
    return m_editorSheet;
}

DefaultRuleEditorSheet* SettingsWindowController::defaultRuleSheet() const {
    return m_defaultRuleSheet;
}

EditorURLTemplateSheet* SettingsWindowController::urlTemplateSheet() const {
    return m_urlTemplateSheet;
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
    QFont titleFont = m_routeTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_routeTitle->setFont(titleFont);
    m_metaLine = secondaryLabel(QString(), header);
    m_metaLine->setObjectName(QStringLiteral("metaLineLabel"));
    m_metaLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_routePopup = new QComboBox(header);
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
    m_addTypeButton = button(QStringLiteral("Add Type\u2026"),
                             QStringLiteral("Teach Corvanta a new file type from a sample file"),
                             QStringLiteral("addTypeButton"), header);
    m_removeTypeButton = button(QStringLiteral("Remove Type"),
                                QStringLiteral("Remove this custom file type and its settings"),
                                QStringLiteral("removeTypeButton"), header);
    connect(m_addTypeButton, &QPushButton::clicked, this, &SettingsWindowController::addType);
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
    typeButtons->addWidget(m_routePopup, 1);
    typeButtons->addWidget(m_addTypeButton);
    typeButtons->addWidget(m_removeTypeButton);

    grid->addLayout(typeButtons, 0, 0, 1, 2);
    grid->addWidget(mark, 1, 0, 2, 1, Qt::AlignTop);
    grid->addLayout(titles, 1, 1);
    grid->addLayout(chips, 2, 1);
    grid->setColumnStretch(1, 1);
    return header;
}

QWidget* SettingsWindowController::buildGeneralTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* heading = new QLabel(QStringLiteral("Editor picker"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* segments = new QWidget(page);
    segments->setObjectName(QStringLiteral("pickerStyleSegmentedControl"));
    segments->setAccessibleName(QStringLiteral("Editor picker style"));
    segments->setToolTip(
        QStringLiteral("Choose how Corvanta asks you to pick an editor for interactive rules"));
    auto* segmentLayout = new QHBoxLayout(segments);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(0);
    auto* group = new QButtonGroup(segments);
    // Two segments: the first has the rounded left end, the second the right.
    const auto segment = [&](const QString& text, const QString& tip, const QString& name,
                             bool first) {
        auto* b = new QToolButton(segments);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAccessibleName(text);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(90);
        b->setStyleSheet(SettingsAppearance::segmentStyleSheet(first, !first));
        group->addButton(b);
        segmentLayout->addWidget(b);
        return b;
    };
    m_radialSegment =
        segment(radialStyle, QStringLiteral("Circular picker centered on the mouse cursor"),
                QStringLiteral("radialSegmentButton"), true);
    m_listSegment = segment(listStyle, QStringLiteral("Floating list of editors"),
                            QStringLiteral("listSegmentButton"), false);
    group->setExclusive(true);
    connect(m_radialSegment, &QToolButton::clicked, this, [this] { pickerStyleChosen(false); });
    connect(m_listSegment, &QToolButton::clicked, this, [this] { pickerStyleChosen(true); });

    m_voiceOverBox =
        new QCheckBox(PlatformTexts::text("Use radial even when VoiceOver is on"), page);
    m_voiceOverBox->setObjectName(QStringLiteral("forceRadialCheckBox"));
    m_voiceOverBox->setToolTip(
        PlatformTexts::text("Show the radial picker even when VoiceOver is running"));
    connect(m_voiceOverBox, &QCheckBox::toggled, this, [this](bool on) {
        m_platform.preferences.setBoolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver, on);
    });
    m_onboardingButton = button(QStringLiteral("Show Onboarding\u2026"),
                                QStringLiteral("Replay the menu bar introduction"),
                                QStringLiteral("showOnboardingButton"), page);
    connect(m_onboardingButton, &QPushButton::clicked, this, [this] {
        if (m_hooks.onShowOnboarding)
            m_hooks.onShowOnboarding();
    });

    layout->addWidget(heading);
    layout->addWidget(segments, 0, Qt::AlignLeft);
    layout->addWidget(m_voiceOverBox);
    layout->addSpacing(16);
    layout->addWidget(m_onboardingButton, 0, Qt::AlignLeft);
    layout->addWidget(new HistorySettingsBox(m_platform.preferences, m_hooks.clearHistory, page));
    layout->addWidget(new NotificationSettingsBox(m_platform.preferences, page));
    layout->addStretch();
    return page;
}

QWidget* SettingsWindowController::buildEditorsTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Offer these editors in the menu:"), page));
    m_editorsTable = new QListWidget(page);
    m_editorsTable->setObjectName(QStringLiteral("editorsTableView"));
    m_editorsTable->setAccessibleName(QStringLiteral("Editors"));
    m_editorsTable->setToolTip(QStringLiteral("Apps offered for this file type in the menu bar"));
    m_editorsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_editorsTable, &QListWidget::currentRowChanged, this,
            &SettingsWindowController::updateEditorButtons);
    layout->addWidget(m_editorsTable, 1);

    m_addAppButton = button(QStringLiteral("Add App\u2026"),
                            QStringLiteral("Add an app that was not found by rescanning"),
                            QStringLiteral("addAppButton"), page);
    m_removeEditorButton =
        button(QStringLiteral("Remove"), QStringLiteral("Remove the selected manually added app"),
               QStringLiteral("removeEditorButton"), page);
    m_selectAllButton = button(QStringLiteral("Select All"),
                               QStringLiteral("Offer every listed app for this file type"),
                               QStringLiteral("selectAllButton"), page);
    m_deselectAllButton =
        button(QStringLiteral("Deselect All"),
               QStringLiteral("Stop offering every listed app for this file type"),
               QStringLiteral("deselectAllButton"), page);
    m_rescanButton = button(QStringLiteral("Rescan"),
                            QStringLiteral("Search again for apps that can open this file type"),
                            QStringLiteral("rescanButton"), page);
    connect(m_addAppButton, &QPushButton::clicked, this, &SettingsWindowController::addApp);
    connect(m_removeEditorButton, &QPushButton::clicked, this,
            &SettingsWindowController::removeEditor);
    connect(m_selectAllButton, &QPushButton::clicked, this, [this] { selectAllEditors(true); });
    connect(m_deselectAllButton, &QPushButton::clicked, this, [this] { selectAllEditors(false); });
    connect(m_rescanButton, &QPushButton::clicked, this, &SettingsWindowController::rescan);
    auto* editorButtons = new QHBoxLayout;
    editorButtons->addWidget(m_addAppButton);
    editorButtons->addWidget(m_removeEditorButton);
    editorButtons->addStretch();
    editorButtons->addWidget(m_selectAllButton);
    editorButtons->addWidget(m_deselectAllButton);
    editorButtons->addWidget(m_rescanButton);
    layout->addLayout(editorButtons);

    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Utilities in the picker:"), page));
    for (PickerUtilityKind kind : allPickerUtilityKinds) {
        auto* box = new QCheckBox(PickerUtilityAppearance::title(kind), page);
        box->setObjectName(QStringLiteral("utilityCheckBox_") + toString(kind));
        connect(box, &QCheckBox::clicked, this, [this, kind](bool on) {
            if (!m_selectedRouteID)
                return;
            m_store.setUtilityEnabled(*m_selectedRouteID, kind, on);
            reload();
        });
        m_utilityEnabledBoxes.insert(kind, box);
        layout->addWidget(box);
    }

    auto* terminalRow = new QHBoxLayout;
    auto* terminalLabel = new QLabel(QStringLiteral("Terminal:"), page);
    m_terminalPopup = new QComboBox(page);
    m_terminalPopup->setObjectName(QStringLiteral("terminalPopUpButton"));
    m_terminalPopup->setAccessibleName(QStringLiteral("Terminal app"));
    m_terminalPopup->setToolTip(QStringLiteral("App used to open the parent folder"));
    terminalLabel->setBuddy(m_terminalPopup);
    connect(m_terminalPopup, &QComboBox::activated, this, [this](int index) {
        if (!m_selectedRouteID || index < 0)
            return;
        m_store.setTerminalBundleID(*m_selectedRouteID,
                                    m_terminalPopup->itemData(index).toString());
        reload();
    });
    m_chooseTerminalButton =
        button(QStringLiteral("Choose\u2026"), QStringLiteral("Choose any terminal or shell app"),
               QStringLiteral("chooseTerminalButton"), page);
    connect(m_chooseTerminalButton, &QPushButton::clicked, this,
            &SettingsWindowController::chooseTerminal);
    terminalRow->addSpacing(24);
    terminalRow->addWidget(terminalLabel);
    terminalRow->addWidget(m_terminalPopup, 1);
    terminalRow->addWidget(m_chooseTerminalButton);
    layout->addLayout(terminalRow);

    auto* externalRow = new QHBoxLayout;
    const struct {
        ExternalUtilityKind kind;
        const char* title;
        const char* name;
    } externals[] = {
        {ExternalUtilityKind::shortcut, "Run Shortcuts\u2026", "runShortcutsButton"},
        {ExternalUtilityKind::service, "Run Services\u2026", "runServicesButton"},
        {ExternalUtilityKind::script, "Run AppleScripts\u2026", "runScriptsButton"},
    };
    for (const auto& external : externals) {
        auto* b = button(PlatformTexts::text(external.title), QString(),
                         QString::fromLatin1(external.name), page);
        const ExternalUtilityKind kind = external.kind;
        connect(b, &QPushButton::clicked, this, [this, kind] {
            if (!m_selectedRouteID)
                return;
            ExternalUtilityChecklistSheet::present(
                this, kind, *m_selectedRouteID, m_store, m_platform.processes,
                m_hooks.usesApplicationScripts && m_hooks.usesApplicationScripts());
        });
        m_externalButtons.insert(kind, b);
        externalRow->addWidget(b);
    }
    externalRow->addStretch();
    layout->addLayout(externalRow);
    m_scriptsFolderButton = button(QStringLiteral("Open Scripts Folder"), QString(),
                                   QStringLiteral("openScriptsFolderButton"), page);
    connect(m_scriptsFolderButton, &QPushButton::clicked, this,
            &SettingsWindowController::openScriptsFolder);
    layout->addWidget(m_scriptsFolderButton, 0, Qt::AlignLeft);
    return page;
}

QWidget* SettingsWindowController::buildOrderTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* label =
        new QLabel(QStringLiteral("Priority for interactive \"Select from\u2026\" pickers "
                                  "and for Best Running when a rule has no override. "
                                  "Drag to reorder."),
                   page);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_orderStack = new QStackedWidget(page);
    m_orderTable = new ReorderableList(m_orderStack);
    m_orderTable->setObjectName(QStringLiteral("orderTableView"));
    m_orderTable->setAccessibleName(QStringLiteral("Editor order"));
    m_orderTable->setToolTip(QStringLiteral(
        "Drag rows to change the priority order used by interactive editor pickers"));
    m_orderTable->setIconSize(QSize(20, 20));
    m_orderTable->onMove = [this](int from, int gap) { moveOrder(from, gap); };
    m_orderEmptyLabel = secondaryLabel(
        QStringLiteral("No editors are offered for this type. Turn some on in the editors tab."),
        m_orderStack);
    m_orderEmptyLabel->setObjectName(QStringLiteral("orderEmptyLabel"));
    m_orderEmptyLabel->setAlignment(Qt::AlignCenter);
    m_orderEmptyLabel->setWordWrap(true);
    m_orderStack->addWidget(m_orderTable);
    m_orderStack->addWidget(m_orderEmptyLabel);
    layout->addWidget(m_orderStack, 1);
    return page;
}

QWidget* SettingsWindowController::buildRulesTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(
        QStringLiteral("First matching rule wins. Drag to reorder. Default Rule is always last."),
        page));
    m_rulesTable = new ReorderableList(page);
    m_rulesTable->setObjectName(QStringLiteral("rulesTableView"));
    m_rulesTable->setAccessibleName(QStringLiteral("Rules"));
    m_rulesTable->setToolTip(
        QStringLiteral("Routing rules evaluated top to bottom. Drag to reorder"));
    // Nothing may land after the Default Rule row.
    m_rulesTable->lastGap = [this] { return std::max(0, m_rulesTable->count() - 1); };
    m_rulesTable->onMove = [this](int from, int gap) { moveRule(from, gap); };
    m_rulesTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_rulesTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = m_rulesTable->indexAt(pos);
        QMenu* menu = makeRulesContextMenu(index.isValid() ? index.row() : -1);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_rulesTable->viewport()->mapToGlobal(pos));
    });
    connect(m_rulesTable, &QListWidget::itemDoubleClicked, this, [this] { editRule(); });
    connect(m_rulesTable, &QListWidget::currentRowChanged, this,
            &SettingsWindowController::updateRuleButtons);
    layout->addWidget(m_rulesTable, 1);

    m_addRuleButton = button(QStringLiteral("Add Rule"),
                             QStringLiteral("Add a new routing rule for this file type"),
                             QStringLiteral("addRuleButton"), page);
    m_editRuleButton = button(QStringLiteral("Edit\u2026"),
                              QStringLiteral("Edit the selected rule or Default Rule"),
                              QStringLiteral("editRuleButton"), page);
    m_removeRuleButton =
        button(QStringLiteral("Remove"), QStringLiteral("Delete the selected rule"),
               QStringLiteral("removeRuleButton"), page);
    connect(m_addRuleButton, &QPushButton::clicked, this, &SettingsWindowController::addRule);
    connect(m_editRuleButton, &QPushButton::clicked, this, &SettingsWindowController::editRule);
    connect(m_removeRuleButton, &QPushButton::clicked, this, &SettingsWindowController::removeRule);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addRuleButton);
    buttons->addWidget(m_editRuleButton);
    buttons->addWidget(m_removeRuleButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    return page;
}

std::optional<Route> SettingsWindowController::selectedRoute() const {
    if (!m_selectedRouteID)
        return std::nullopt;
    for (const Route& route : m_routes) {
        if (route.id == *m_selectedRouteID)
            return route;
    }
    return std::nullopt;
}

void SettingsWindowController::show(const std::optional<QString>& routeID) {
    // Applications installed or removed meanwhile show from here on.
    m_applications.clear();
    if (routeID && m_store.routeWithID(*routeID))
        m_selectedRouteID = routeID;
    reload();
    // The probes ask other processes; the window shows first and the tiles follow.
    QTimer::singleShot(0, m_permissionTiles, &PermissionTilesView::refresh);
    m_fileManagerActions->refresh();
    if (m_hooks.onWillShow)
        m_hooks.onWillShow();
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
    m_routes = m_store.routes();
    m_selectedRouteID = RouteSettingsSummary::resolveSelection(m_routes, m_selectedRouteID);
    {
        const QSignalBlocker blocker(m_routePopup);
        m_routePopup->clear();
        for (const Route& route : m_routes) {
            m_routePopup->addItem(route.name, route.id);
            if (m_selectedRouteID && route.id == *m_selectedRouteID)
                m_routePopup->setCurrentIndex(m_routePopup->count() - 1);
        }
    }
    const std::optional<Route> route = selectedRoute();
    refreshHeader(route);
    refreshEditors(route);
    refreshUtilities(route);
    refreshTerminal(route);
    refreshOrder(route);
    refreshRules(route);
}

void SettingsWindowController::refreshHeader(const std::optional<Route>& route) {
    m_routeTitle->setText(route ? route->name : QString());
    m_metaLine->setText(route ? RouteSettingsSummary::metaLine(*route) : QString());
    std::optional<Editor> active = route ? route->activeEditor() : std::nullopt;
    m_activeChip->setText(QStringLiteral("ACTIVE  ") +
                          (active ? active->name : QStringLiteral("\u2014")));
    m_removeTypeButton->setEnabled(route && route->isCustom);
    const bool hasRoute = route.has_value();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_addAppButton, m_selectAllButton, m_deselectAllButton,
                                         m_rescanButton, m_addRuleButton})
        w->setEnabled(hasRoute);
}

void SettingsWindowController::refreshPickerStyle() {
    const bool list = m_platform.preferences.string(PreferenceKeys::editorPickerStyle) == listStyle;
    m_listSegment->setChecked(list);
    m_radialSegment->setChecked(!list);
    {
        const QSignalBlocker blocker(m_voiceOverBox);
        m_voiceOverBox->setChecked(
            m_platform.preferences.boolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver)
                .value_or(false));
    }
    m_voiceOverBox->setEnabled(!list);
    m_pickerChip->setText(QStringLiteral("PICKER  ") + (list ? listStyle : radialStyle));
}

void SettingsWindowController::pickerStyleChosen(bool list) {
    m_platform.preferences.setString(PreferenceKeys::editorPickerStyle,
                                     list ? listStyle : radialStyle);
    m_voiceOverBox->setEnabled(!list);
    m_pickerChip->setText(QStringLiteral("PICKER  ") + (list ? listStyle : radialStyle));
}

const SettingsWindowController::ApplicationInfo&
SettingsWindowController::applicationInfo(const QString& bundleID) const {
    auto it = m_applications.find(bundleID);
    if (it == m_applications.end()) {
        ApplicationInfo info;
        if (const std::optional<QString> location =
                m_platform.workspace.locationForBundleID(bundleID)) {
            info.installed = true;
            info.name = m_platform.workspace.applicationName(*location);
            info.iconName = m_platform.workspace.applicationIconName(*location);
        }
        it = m_applications.insert(bundleID, info);
    }
    return *it;
}

QIcon SettingsWindowController::applicationIcon(const QString& bundleID) const {
    const QString name = applicationInfo(bundleID).iconName;
    QIcon icon;
    if (!name.isEmpty())
        icon = name.startsWith(QLatin1Char('/')) ? QIcon(name) : QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    return icon;
}

QString SettingsWindowController::applicationDisplayName(const QString& bundleID) const {
    const QString& name = applicationInfo(bundleID).name;
    return name.isEmpty() ? bundleID : name;
}

void SettingsWindowController::refreshEditors(const std::optional<Route>& route) {
    const int previousRow = m_editorsTable->currentRow();
    const QString previousID =
        previousRow >= 0 ? m_editorsTable->item(previousRow)->data(Qt::UserRole).toString()
                         : QString();
    m_editorsTable->clear();
    if (route) {
        for (const Editor& editor : route->editors) {
            auto* item = new QListWidgetItem(m_editorsTable);
            item->setData(Qt::UserRole, editor.bundleID);
            auto* row = new EditorRowView(editor, applicationIcon(editor.bundleID),
                                          m_editorsTable->viewport());
            item->setSizeHint(row->sizeHint());
            m_editorsTable->setItemWidget(item, row);
            const QString routeID = route->id;
            const QString bundleID = editor.bundleID;
            connect(row, &EditorRowView::enabledToggled, this, [this, routeID, bundleID](bool on) {
                m_store.setEnabled(routeID, bundleID, on);
                QMetaObject::invokeMethod(this, &SettingsWindowController::reload,
                                          Qt::QueuedConnection);
            });
            connect(row, &EditorRowView::folderToggled, this, [this, routeID, bundleID] {
                m_store.toggleFolder(routeID, bundleID);
                QMetaObject::invokeMethod(this, &SettingsWindowController::reload,
                                          Qt::QueuedConnection);
            });
            connect(row, &EditorRowView::editTemplate, this,
                    [this, editor] { editTemplate(editor); });
            if (editor.bundleID == previousID)
                m_editorsTable->setCurrentItem(item);
        }
    }
    updateEditorButtons();
}

void SettingsWindowController::updateEditorButtons() {
    const std::optional<Route> route = selectedRoute();
    const int row = m_editorsTable->currentRow();
    m_removeEditorButton->setEnabled(route && row >= 0 && row < route->editors.size() &&
                                     route->editors.at(row).manual);
}

void SettingsWindowController::refreshUtilities(const std::optional<Route>& route) {
    bool terminalEnabled = false;
    for (PickerUtilityKind kind : allPickerUtilityKinds) {
        bool enabled = false;
        if (route) {
            for (const PickerUtility& utility : route->utilities) {
                if (utility.kind == kind)
                    enabled = utility.enabled;
            }
        }
        QCheckBox* box = m_utilityEnabledBoxes.value(kind);
        box->setChecked(enabled);
        box->setEnabled(route.has_value());
        if (kind == PickerUtilityKind::openParentInTerminal)
            terminalEnabled = enabled;
    }
    m_terminalPopup->setEnabled(terminalEnabled);
    m_chooseTerminalButton->setEnabled(terminalEnabled);
    for (QPushButton* b : std::as_const(m_externalButtons))
        b->setEnabled(route.has_value());
    const bool applicationScripts =
        m_hooks.usesApplicationScripts && m_hooks.usesApplicationScripts();
    m_scriptsFolderButton->setToolTip(
        applicationScripts ? PlatformTexts::text("Reveal Application Scripts in Finder")
                           : PlatformTexts::text("Reveal ~/Library/Scripts in Finder"));
}

void SettingsWindowController::refreshTerminal(const std::optional<Route>& route) {
    const QSignalBlocker blocker(m_terminalPopup);
    m_terminalPopup->clear();
    if (!route)
        return;
    QStringList installed;
    for (const QString& id : knownTerminalBundleIDs()) {
        if (applicationInfo(id).installed)
            installed.append(id);
    }
    const QString current = RouteSettingsSummary::terminalBundleID(*route);
    for (const QString& id : RouteSettingsSummary::terminalChoices(*route, installed)) {
        m_terminalPopup->addItem(applicationIcon(id), applicationDisplayName(id), id);
        if (id == current)
            m_terminalPopup->setCurrentIndex(m_terminalPopup->count() - 1);
    }
}

void SettingsWindowController::refreshOrder(const std::optional<Route>& route) {
    m_orderTable->clear();
    m_orderIDs.clear();
    if (route) {
        for (const Editor& editor : RouteSettingsSummary::orderedEnabledEditors(*route)) {
            auto* item =
                new QListWidgetItem(applicationIcon(editor.bundleID), editor.name, m_orderTable);
            item->setData(Qt::UserRole, editor.bundleID);
            m_orderIDs.append(editor.bundleID);
        }
    }
    m_orderStack->setCurrentWidget(m_orderIDs.isEmpty() ? static_cast<QWidget*>(m_orderEmptyLabel)
                                                        : static_cast<QWidget*>(m_orderTable));
}

void SettingsWindowController::refreshRules(const std::optional<Route>& route) {
    const int previousRow = m_rulesTable->currentRow();
    m_rulesTable->clear();
    if (!route) {
        updateRuleButtons();
        return;
    }
    for (const Rule& rule : route->rules) {
        auto* item = new QListWidgetItem(m_rulesTable);
        item->setData(Qt::UserRole, rule.id);
        auto* row = new RuleRowView(m_descriptions.ruleSummary(rule, route->editors), rule.enabled,
                                    m_rulesTable->viewport());
        item->setSizeHint(row->sizeHint());
        m_rulesTable->setItemWidget(item, row);
        const QString routeID = route->id;
        const QString ruleID = rule.id;
        connect(row, &RuleRowView::enabledToggled, this, [this, routeID, ruleID](bool on) {
            m_store.setRuleEnabled(routeID, ruleID, on);
            QMetaObject::invokeMethod(this, &SettingsWindowController::reload,
                                      Qt::QueuedConnection);
        });
    }
    auto* fallback = new QListWidgetItem(m_rulesTable);
    // The Default Rule row stays last.
    fallback->setFlags(fallback->flags() & ~Qt::ItemIsDragEnabled);
    auto* fallbackRow = new RuleRowView(RuleDescriptions::defaultRuleSummary(*route), std::nullopt,
                                        m_rulesTable->viewport());
    fallback->setSizeHint(fallbackRow->sizeHint());
    m_rulesTable->setItemWidget(fallback, fallbackRow);
    if (previousRow >= 0 && previousRow < m_rulesTable->count())
        m_rulesTable->setCurrentRow(previousRow);
    updateRuleButtons();
}

void SettingsWindowController::updateRuleButtons() {
    const int row = m_rulesTable->currentRow();
    const int defaultRow = m_rulesTable->count() - 1;
    m_editRuleButton->setEnabled(row >= 0);
    m_removeRuleButton->setEnabled(row >= 0 && row < defaultRow);
}

QMenu* SettingsWindowController::makeRulesContextMenu(int row) {
    if (row < 0)
        row = m_rulesTable->currentRow();
    const bool ruleRow = row >= 0 && row < m_rulesTable->count() - 1;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rulesContextMenu"));
    QAction* copyID = menu->addAction(QStringLiteral("Copy Rule ID"));
    QAction* copyTemplate = menu->addAction(QStringLiteral("Copy URL Scheme Template"));
    copyTemplate->setToolTip(QStringLiteral("Copies an x-corvanta:// link that forces this rule; "
                                            "fill in file= with the path to open."));
    menu->setToolTipsVisible(true);
    copyID->setEnabled(ruleRow);
    copyTemplate->setEnabled(ruleRow);
    connect(copyID, &QAction::triggered, this, [this, row] { copyForRow(row, false); });
    connect(copyTemplate, &QAction::triggered, this, [this, row] { copyForRow(row, true); });
    return menu;
}

void SettingsWindowController::copyForRow(int row, bool urlTemplate) {
    const std::optional<Route> route = selectedRoute();
    if (!route || row < 0 || row >= route->rules.size())
        return;
    const QString& id = route->rules.at(row).id;
    if (!urlTemplate)
        m_platform.clipboard.setText(id);
    else if (m_hooks.ruleLinkTemplate)
        m_platform.clipboard.setText(m_hooks.ruleLinkTemplate(id));
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
    const std::optional<Route> route = selectedRoute();
    if (!route || !route->isCustom)
        return;
    AlertRequest alert;
    alert.messageText = QStringLiteral("Remove ") + route->name + QStringLiteral("?");
    alert.informativeText = QStringLiteral(
        "This custom type will no longer be routed. System defaults are left unchanged.");
    alert.buttons = {QStringLiteral("Remove"), QStringLiteral("Cancel")};
    alert.cancelButton = 1;
    if (m_platform.alerts.runAlert(alert) != 0)
        return;
    m_store.removeCustomRoute(route->id);
    reload();
}

void SettingsWindowController::addApp() {
    if (!m_selectedRouteID)
        return;
    const auto app = m_choosers.chooseApplication(
        this, {QStringLiteral("Add App"), QStringLiteral("Add"), QString(), QString()});
    if (!app || app->bundleID.isEmpty())
        return;
    m_store.addEditor(*m_selectedRouteID, app->bundleID, app->name);
    reload();
}

void SettingsWindowController::removeEditor() {
    const std::optional<Route> route = selectedRoute();
    const int row = m_editorsTable->currentRow();
    if (!route || row < 0 || row >= route->editors.size() || !route->editors.at(row).manual)
        return;
    m_store.removeEditor(route->id, route->editors.at(row).bundleID);
    reload();
}

void SettingsWindowController::selectAllEditors(bool enabled) {
    if (!m_selectedRouteID)
        return;
    m_store.setAllEditorsEnabled(*m_selectedRouteID, enabled);
    reload();
}

void SettingsWindowController::rescan() {
    if (!m_selectedRouteID)
        return;
    m_store.rescan(*m_selectedRouteID);
    reload();
}

void SettingsWindowController::chooseTerminal() {
    if (!m_selectedRouteID)
        return;
    const auto app = m_choosers.chooseApplication(
        this, {QStringLiteral("Choose Terminal"), QStringLiteral("Choose"),
               QStringLiteral("Choose the terminal app used to open parent folders."), QString()});
    if (!app || app->bundleID.isEmpty())
        return;
    m_store.setTerminalBundleID(*m_selectedRouteID, app->bundleID);
    reload();
}

void SettingsWindowController::openScriptsFolder() {
    ExternalUtilityCatalog::openScriptsFolder(m_hooks.usesApplicationScripts &&
                                                  m_hooks.usesApplicationScripts(),
                                              m_platform.revealer, m_platform.alerts);
}

void SettingsWindowController::editTemplate(const Editor& editor) {
    if (!m_selectedRouteID || m_urlTemplateSheet)
        return;
    const QString routeID = *m_selectedRouteID;
    const QString bundleID = editor.bundleID;
    auto* sheet = new EditorURLTemplateSheet(
        editor.name, editor.urlSchemeTemplate,
        [this, routeID, bundleID](const std::optional<QString>& urlTemplate) {
            m_store.setURLSchemeTemplate(routeID, bundleID, urlTemplate);
            reload();
        },
        this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_urlTemplateSheet = sheet;
    // A finished sheet is only deleted later; another may open meanwhile.
    connect(sheet, &QDialog::finished, this, [this] { m_urlTemplateSheet = nullptr; });
    sheet->open();
}

void SettingsWindowController::addRule() {
    openRuleSheet(std::nullopt);
}

void SettingsWindowController::editRule() {
    const std::optional<Route> route = selectedRoute();
    const int row = m_rulesTable->currentRow();
    if (!route || row < 0)
        return;
    if (row >= route->rules.size()) {
        editDefaultRule();
        return;
    }
    openRuleSheet(route->rules.at(row));
}

void SettingsWindowController::proposeRule(const QString& folder, const QString& bundleID) {
    if (const std::optional<Route> route = selectedRoute())
        openRuleSheet(RuleDraft::forChoice(*route, folder, bundleID), true);
}

void SettingsWindowController::openRuleSheet(const std::optional<Rule>& rule) {
    const std::optional<Route> route = selectedRoute();
    if (route)
        openRuleSheet(rule ? RuleDraft::fromRule(*rule, *route)
                           : RuleDraft::forNewRule(*route, QDir::homePath()),
                      false);
}

void SettingsWindowController::openRuleSheet(const RuleDraft& draft, bool placedFirst) {
    const std::optional<Route> route = selectedRoute();
    if (!route || m_editorSheet)
        return;
    const QString routeID = route->id;
    auto* sheet = new RuleEditorSheet(
        *route, draft,
        [this, routeID, placedFirst](const Rule& saved,
                                     const std::optional<QStringList>& defaultOrder) {
            m_store.upsertRule(routeID, saved);
            if (placedFirst)
                m_store.moveRule(routeID, m_store.routeWithID(routeID)->rules.size() - 1, 0);
            if (defaultOrder)
                m_store.setDefaultPreferenceOrder(routeID, *defaultOrder);
            reload();
        },
        m_choosers, m_hotkeys, m_platform.alerts, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_editorSheet = sheet;
    // A finished sheet is only deleted later; another may open meanwhile.
    connect(sheet, &QDialog::finished, this, [this] { m_editorSheet = nullptr; });
    sheet->open();
}

void SettingsWindowController::editDefaultRule() {
    const std::optional<Route> route = selectedRoute();
    if (!route || m_defaultRuleSheet)
        return;
    const QString routeID = route->id;
    auto* sheet = new DefaultRuleEditorSheet(
        *route,
        [this, routeID](RuleActionKind kind, const QStringList& bundleIDs) {
            m_store.setDefaultActionKind(routeID, kind);
            m_store.setDefaultOpenBundleIDs(routeID, bundleIDs);
            reload();
        },
        this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_defaultRuleSheet = sheet;
    // A finished sheet is only deleted later; another may open meanwhile.
    connect(sheet, &QDialog::finished, this, [this] { m_defaultRuleSheet = nullptr; });
    sheet->open();
}

void SettingsWindowController::removeRule() {
    const std::optional<Route> route = selectedRoute();
    const int row = m_rulesTable->currentRow();
    if (!route || row < 0 || row >= route->rules.size())
        return;
    const QString ruleID = route->rules.at(row).id;
    m_store.removeRule(route->id, ruleID);
    reload();
}

void SettingsWindowController::moveOrder(int from, int gap) {
    if (!m_selectedRouteID)
        return;
    const QStringList moved = RouteSettingsSummary::movedToGap(m_orderIDs, from, gap);
    if (moved == m_orderIDs)
        return;
    m_store.setDefaultPreferenceOrder(*m_selectedRouteID, moved);
    reload();
}

void SettingsWindowController::moveRule(int from, int gap) {
    const std::optional<Route> route = selectedRoute();
    if (!route || from < 0 || from >= route->rules.size() ||
        !RouteSettingsSummary::acceptsGap(gap, route->rules.size()))
        return;
    m_store.moveRule(route->id, from, gap);
    reload();
}

void SettingsWindowController::closeEvent(QCloseEvent* event) {
    // Open sheets end as if cancelled, so a rule's hotkey goes back as it was.
    if (m_editorSheet)
        m_editorSheet->reject();
    if (m_defaultRuleSheet)
        m_defaultRuleSheet->reject();
    if (m_urlTemplateSheet)
        m_urlTemplateSheet->reject();
    if (m_hooks.onWillClose)
        m_hooks.onWillClose();
    event->accept();
    hide();
}
