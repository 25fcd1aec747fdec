#include "core/settings/EditorsSettingsPage.h"

#include "core/model/RouteStore.h"
#include "core/pickers/PickerUtilityAppearance.h"
#include "core/platform/PlatformTexts.h"
#include "core/settings/EditorRowView.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/SettingsApplications.h"
#include "core/settings/SettingsChoosers.h"
#include "core/settings/SettingsControls.h"
#include "core/utilities/ExternalUtilityCatalog.h"
#include "core/utilities/ExternalUtilityChecklistSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using SettingsControls::button;

EditorsSettingsPage::EditorsSettingsPage(RouteStore& store, const Platform& platform,
                                         SettingsChoosers& choosers,
                                         const SettingsApplications& applications,
                                         std::function<bool()> usesScripts, QWidget* parent)
    : SettingsPage(parent)
    , m_store(store)
    , m_platform(platform)
    , m_choosers(choosers)
    , m_applications(applications)
    , m_usesApplicationScripts(std::move(usesScripts)) {
    setObjectName(QStringLiteral("editorsPage"));
    auto* layout = new QVBoxLayout(this);
    m_editorsTable = new QListWidget(this);
    layout->addWidget(SettingsControls::labelFor(QStringLiteral("Offer these editors in the menu:"),
                                                 m_editorsTable, this));
    m_editorsTable->setObjectName(QStringLiteral("editorsTableView"));
    m_editorsTable->setAccessibleName(QStringLiteral("Editors"));
    m_editorsTable->setToolTip(
        PlatformTexts::text("Apps offered for this file type in the menu bar"));
    m_editorsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    SettingsControls::followRowFocus(m_editorsTable);
    connect(m_editorsTable, &QListWidget::currentRowChanged, this,
            &EditorsSettingsPage::updateEditorButtons);
    layout->addWidget(m_editorsTable, 1);

    auto* addApp = button(QStringLiteral("Add App\u2026"),
                          QStringLiteral("Add an app that was not found by rescanning"),
                          QStringLiteral("addAppButton"), this);
    m_removeEditorButton =
        button(QStringLiteral("Remove"), QStringLiteral("Remove the selected manually added app"),
               QStringLiteral("removeEditorButton"), this);
    auto* selectAll = button(QStringLiteral("Select All"),
                             QStringLiteral("Offer every listed app for this file type"),
                             QStringLiteral("selectAllButton"), this);
    auto* deselectAll = button(QStringLiteral("Deselect All"),
                               QStringLiteral("Stop offering every listed app for this file type"),
                               QStringLiteral("deselectAllButton"), this);
    auto* rescan = button(QStringLiteral("Rescan"),
                          QStringLiteral("Search again for apps that can open this file type"),
                          QStringLiteral("rescanButton"), this);
    connect(addApp, &QPushButton::clicked, this, &EditorsSettingsPage::addApp);
    connect(m_removeEditorButton, &QPushButton::clicked, this, &EditorsSettingsPage::removeEditor);
    connect(selectAll, &QPushButton::clicked, this,
            [this] { m_store.setAllEditorsEnabled(m_routeID, true); });
    connect(deselectAll, &QPushButton::clicked, this,
            [this] { m_store.setAllEditorsEnabled(m_routeID, false); });
    connect(rescan, &QPushButton::clicked, this, [this] { m_store.rescan(m_routeID); });
    auto* editorButtons = new QHBoxLayout;
    editorButtons->addWidget(addApp);
    editorButtons->addWidget(m_removeEditorButton);
    editorButtons->addStretch();
    editorButtons->addWidget(selectAll);
    editorButtons->addWidget(deselectAll);
    editorButtons->addWidget(rescan);
    layout->addLayout(editorButtons);

    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Utilities in the picker:"), this));
    for (PickerUtilityKind kind : allPickerUtilityKinds) {
        auto* box = new QCheckBox(PickerUtilityAppearance::title(kind), this);
        box->setObjectName(QStringLiteral("utilityCheckBox_") + toString(kind));
        connect(box, &QCheckBox::clicked, this,
                [this, kind](bool on) { m_store.setUtilityEnabled(m_routeID, kind, on); });
        m_utilityEnabledBoxes.insert(kind, box);
        layout->addWidget(box);
    }

    auto* terminalRow = new QHBoxLayout;
    m_terminalPopup = new QComboBox(this);
    m_terminalPopup->setObjectName(QStringLiteral("terminalPopUpButton"));
    m_terminalPopup->setAccessibleName(QStringLiteral("Terminal app"));
    m_terminalPopup->setToolTip(QStringLiteral("App used to open the parent folder"));
    auto* terminalLabel =
        SettingsControls::labelFor(QStringLiteral("Terminal:"), m_terminalPopup, this);
    connect(m_terminalPopup, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            m_store.setTerminalBundleID(m_routeID, m_terminalPopup->itemData(index).toString());
    });
    m_chooseTerminalButton =
        button(QStringLiteral("Choose\u2026"), QStringLiteral("Choose any terminal or shell app"),
               QStringLiteral("chooseTerminalButton"), this);
    connect(m_chooseTerminalButton, &QPushButton::clicked, this,
            &EditorsSettingsPage::chooseTerminal);
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
                         QString::fromLatin1(external.name), this);
        const ExternalUtilityKind kind = external.kind;
        connect(b, &QPushButton::clicked, this, [this, kind] {
            ExternalUtilityChecklistSheet::present(this, kind, m_routeID, m_store,
                                                   m_platform.processes, usesApplicationScripts());
        });
        externalRow->addWidget(b);
    }
    externalRow->addStretch();
    layout->addLayout(externalRow);
    m_scriptsFolderButton = button(QStringLiteral("Open Scripts Folder"), QString(),
                                   QStringLiteral("openScriptsFolderButton"), this);
    connect(m_scriptsFolderButton, &QPushButton::clicked, this, [this] {
        ExternalUtilityCatalog::openScriptsFolder(usesApplicationScripts(), m_platform.revealer,
                                                  m_platform.alerts);
    });
    layout->addWidget(m_scriptsFolderButton, 0, Qt::AlignLeft);
}

bool EditorsSettingsPage::usesApplicationScripts() const {
    return m_usesApplicationScripts && m_usesApplicationScripts();
}

void EditorsSettingsPage::reload(const Route& route) {
    m_routeID = route.id;
    reloadEditors(route);
    reloadUtilities(route);
    reloadTerminal(route);
}

void EditorsSettingsPage::reloadEditors(const Route& route) {
    const ListPosition position = ListPosition::of(m_editorsTable);
    m_editorsTable->clear();
    for (const Editor& editor : route.editors) {
        auto* row = new EditorRowView(editor, m_applications.icon(editor.bundleID),
                                      m_editorsTable->viewport());
        SettingsControls::widgetRow(m_editorsTable, row, editor.bundleID, editor.name);
        const QString routeID = route.id;
        const QString bundleID = editor.bundleID;
        connect(row, &EditorRowView::enabledToggled, this,
                [this, routeID, bundleID](bool on) { m_store.setEnabled(routeID, bundleID, on); });
        connect(row, &EditorRowView::folderToggled, this, [this, routeID, bundleID, row] {
            // The file may have changed since the row was built: flip only
            // when what it holds differs from what the box now shows.
            const bool wanted = row->folderBox()->isChecked();
            m_store.reloadIfChanged();
            const std::optional<Route> now = m_store.routeWithID(routeID);
            for (const Editor& stored : now ? now->editors : QList<Editor>()) {
                if (stored.bundleID == bundleID && stored.opensFolder != wanted)
                    m_store.toggleFolder(routeID, bundleID);
            }
        });
        connect(row, &EditorRowView::editTemplate, this,
                [this, routeID, bundleID] { Q_EMIT editTemplateRequested(routeID, bundleID); });
    }
    position.restore(m_editorsTable);
    updateEditorButtons();
}

std::optional<Editor> EditorsSettingsPage::currentEditor() const {
    const QListWidgetItem* item = m_editorsTable->currentItem();
    const std::optional<Route> route = m_store.routeWithID(m_routeID);
    if (!item || !route)
        return std::nullopt;
    const QString bundleID = item->data(Qt::UserRole).toString();
    for (const Editor& editor : route->editors) {
        if (editor.bundleID == bundleID)
            return editor;
    }
    return std::nullopt;
}

void EditorsSettingsPage::updateEditorButtons() {
    const std::optional<Editor> editor = currentEditor();
    m_removeEditorButton->setEnabled(editor && editor->manual);
}

void EditorsSettingsPage::reloadUtilities(const Route& route) {
    bool terminalEnabled = false;
    for (PickerUtilityKind kind : allPickerUtilityKinds) {
        bool enabled = false;
        for (const PickerUtility& utility : route.utilities) {
            if (utility.kind == kind)
                enabled = utility.enabled;
        }
        m_utilityEnabledBoxes.value(kind)->setChecked(enabled);
        if (kind == PickerUtilityKind::openParentInTerminal)
            terminalEnabled = enabled;
    }
    m_terminalPopup->setEnabled(terminalEnabled);
    m_chooseTerminalButton->setEnabled(terminalEnabled);
    m_scriptsFolderButton->setToolTip(
        usesApplicationScripts() ? PlatformTexts::text("Reveal Application Scripts in Finder")
                                 : PlatformTexts::text("Reveal ~/Library/Scripts in Finder")
                                       .arg(ExternalUtilityCatalog::scriptsFolderForDisplay()));
}

void EditorsSettingsPage::reloadTerminal(const Route& route) {
    const QSignalBlocker blocker(m_terminalPopup);
    m_terminalPopup->clear();
    QStringList installed;
    for (const QString& id : knownTerminalBundleIDs()) {
        if (m_applications.isInstalled(id))
            installed.append(id);
    }
    const QString current = RouteSettingsSummary::terminalBundleID(route);
    for (const QString& id : RouteSettingsSummary::terminalChoices(route, installed)) {
        m_terminalPopup->addItem(m_applications.icon(id), m_applications.displayName(id), id);
        if (id == current)
            m_terminalPopup->setCurrentIndex(m_terminalPopup->count() - 1);
    }
}

void EditorsSettingsPage::addApp() {
    // The route the user chose it for, whatever the window shows once the panel closes.
    const QString routeID = m_routeID;
    const auto app = m_choosers.chooseApplication(
        this, {QStringLiteral("Add App"), QStringLiteral("Add"), QString(), QString()});
    if (app && !app->bundleID.isEmpty())
        m_store.addEditor(routeID, app->bundleID, app->name);
}

void EditorsSettingsPage::removeEditor() {
    const std::optional<Editor> editor = currentEditor();
    if (editor && editor->manual)
        m_store.removeEditor(m_routeID, editor->bundleID);
}

void EditorsSettingsPage::chooseTerminal() {
    const QString routeID = m_routeID;
    const auto app = m_choosers.chooseApplication(
        this, {QStringLiteral("Choose Terminal"), QStringLiteral("Choose"),
               QStringLiteral("Choose the terminal app used to open parent folders."), QString()});
    if (app && !app->bundleID.isEmpty())
        m_store.setTerminalBundleID(routeID, app->bundleID);
}
