#include "core/settings/RuleEditorSheet.h"

#include "core/platform/Alerts.h"
#include "core/settings/AlwaysOpenEditorsTable.h"
#include "core/settings/PredicateRowView.h"
#include "core/settings/ReorderableList.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleHotkeyAccess.h"
#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsControls.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}
} // namespace

RuleEditorSheet::RuleEditorSheet(const Route& route, const std::optional<Rule>& rule, OnSave onSave,
                                 SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys,
                                 Alerts& alerts, QWidget* parent)
    : RuleEditorSheet(route,
                      rule ? RuleDraft::fromRule(*rule, route)
                           : RuleDraft::forNewRule(route, QDir::homePath()),
                      std::move(onSave), choosers, hotkeys, alerts, parent) {}

RuleEditorSheet::RuleEditorSheet(const Route& route, RuleDraft draft, OnSave onSave,
                                 SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys,
                                 Alerts& alerts, QWidget* parent)
    : QDialog(parent)
    , m_route(route)
    , m_draft(std::move(draft))
    , m_onSave(std::move(onSave))
    , m_choosers(choosers)
    , m_hotkeys(hotkeys)
    , m_alerts(alerts)
    , m_hotkeySnapshot(hotkeys.shortcut(m_draft.hotkeyName()))
    , m_nameField(new QLineEdit(m_draft.nameText, this))
    , m_combinePopup(new QComboBox(this))
    , m_predicatesStack(new QVBoxLayout)
    , m_addConditionButton(new QPushButton(QStringLiteral("Add Condition"), this))
    , m_actionPopup(new QComboBox(this))
    , m_editorContainer(new QWidget(this))
    , m_alwaysOpenTable(nullptr)
    , m_preferenceBox(new QGroupBox(QStringLiteral("Preference order"), this))
    , m_preferenceTable(new ReorderableList(m_preferenceBox))
    , m_saveAsDefaultButton(
          new QPushButton(QStringLiteral("Save as default preferences"), m_preferenceBox))
    , m_saveButton(new QPushButton(QStringLiteral("Save"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("ruleEditorSheet"));
    setWindowTitle(m_draft.windowTitle());
    setWindowModality(Qt::WindowModal);
    SettingsAppearance::applyDark(this);
    resize(520, 560);

    m_nameField->setObjectName(QStringLiteral("nameLineEdit"));
    m_nameField->setPlaceholderText(QStringLiteral("Shown in the rules list"));
    m_nameField->setAccessibleName(QStringLiteral("Rule name"));
    m_nameField->setToolTip(QStringLiteral("Optional label shown in the rules list"));
    connect(m_nameField, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_draft.nameText = text; });

    m_combinePopup->setObjectName(QStringLiteral("combinePopUpButton"));
    m_combinePopup->addItem(QStringLiteral("All of (AND)"), int(PredicateGroupCombine::and_));
    m_combinePopup->addItem(QStringLiteral("Any of (OR)"), int(PredicateGroupCombine::or_));
    m_combinePopup->setCurrentIndex(m_draft.combine == PredicateGroupCombine::or_ ? 1 : 0);
    m_combinePopup->setAccessibleName(QStringLiteral("Match conditions"));
    m_combinePopup->setToolTip(QStringLiteral("Require all conditions (AND) or any one (OR)"));
    connect(m_combinePopup, &QComboBox::currentIndexChanged, this, [this] {
        m_draft.combine = PredicateGroupCombine(m_combinePopup->currentData().toInt());
    });

    m_addConditionButton->setObjectName(QStringLiteral("addConditionButton"));
    m_addConditionButton->setToolTip(QStringLiteral("Add another matching condition"));
    connect(m_addConditionButton, &QPushButton::clicked, this,
            [this] { addRow(ConditionRowDraft::newCondition())->kindPopup()->setFocus(); });

    m_actionPopup->setObjectName(QStringLiteral("actionPopUpButton"));
    const QStringList titles = RuleDraft::actionTitles();
    const QList<RuleActionKind> kinds = RuleDraft::actionKinds();
    for (int i = 0; i < titles.size(); ++i) {
        m_actionPopup->addItem(titles.at(i), int(kinds.at(i)));
        if (kinds.at(i) == m_draft.actionKind)
            m_actionPopup->setCurrentIndex(i);
    }
    m_actionPopup->setAccessibleName(QStringLiteral("Action"));
    m_actionPopup->setToolTip(QStringLiteral("What to do when this rule matches"));
    connect(m_actionPopup, &QComboBox::currentIndexChanged, this, &RuleEditorSheet::actionChanged);

    m_alwaysOpenTable = new AlwaysOpenEditorsTable(route, m_draft.checkedBundleIDs, this);
    m_alwaysOpenTable->onSelectionChange = [this] { updateSaveButton(); };
    auto* editorLayout = new QVBoxLayout(m_editorContainer);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addWidget(m_alwaysOpenTable->scrollView());
    auto* checklistHint = SettingsControls::hintLabel(
        QStringLiteral("Check one or more apps to open matching files in"), this);
    editorLayout->addWidget(checklistHint);

    m_preferenceBox->setObjectName(QStringLiteral("preferenceGroupBox"));
    m_preferenceTable->setObjectName(QStringLiteral("preferenceTableView"));
    m_preferenceTable->setAccessibleName(QStringLiteral("Editor preference order"));
    m_preferenceTable->setToolTip(QStringLiteral("Drag to set priority for Best running editor"));
    m_preferenceTable->setFixedHeight(110);
    m_preferenceTable->onMove = [this](int from, int gap) { movePreference(from, gap); };
    m_saveAsDefaultButton->setObjectName(QStringLiteral("saveAsDefaultButton"));
    m_saveAsDefaultButton->setToolTip(
        QStringLiteral("Save this order as the default for new rules on this type"));
    connect(m_saveAsDefaultButton, &QPushButton::clicked, this,
            &RuleEditorSheet::saveAsDefaultPreferences);
    auto* preferenceLayout = new QVBoxLayout(m_preferenceBox);
    preferenceLayout->addWidget(m_preferenceTable);
    preferenceLayout->addWidget(m_saveAsDefaultButton, 0, Qt::AlignLeft);

    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setToolTip(QStringLiteral("Save this rule"));
    m_saveButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setToolTip(QStringLiteral("Discard changes and close"));
    connect(m_saveButton, &QPushButton::clicked, this, &RuleEditorSheet::save);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Conditions scroll when there are more than fit.
    auto* rowsHolder = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rowsHolder);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_predicatesStack->setSpacing(6);
    rowsLayout->addLayout(m_predicatesStack);
    rowsLayout->addStretch();
    auto* rowsScroll = new QScrollArea(this);
    rowsScroll->setObjectName(QStringLiteral("predicatesScrollArea"));
    rowsScroll->setWidget(rowsHolder);
    rowsScroll->setWidgetResizable(true);
    rowsScroll->setFrameShape(QFrame::NoFrame);
    rowsScroll->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(new QLabel(QStringLiteral("Name (optional):"), this));
    layout->addWidget(m_nameField);
    layout->addSpacing(8);
    auto* when = new QHBoxLayout;
    // Screen readers name each pop-up by its label, not its value.
    QLabel* whenLabel = heading(QStringLiteral("When"), this);
    whenLabel->setBuddy(m_combinePopup);
    when->addWidget(whenLabel);
    when->addWidget(m_combinePopup);
    when->addStretch();
    layout->addLayout(when);
    layout->addWidget(rowsScroll, 1);
    layout->addWidget(m_addConditionButton, 0, Qt::AlignLeft);
    layout->addSpacing(8);
    auto* then = new QHBoxLayout;
    QLabel* thenLabel = heading(QStringLiteral("Then"), this);
    thenLabel->setBuddy(m_actionPopup);
    then->addWidget(thenLabel);
    then->addWidget(m_actionPopup);
    then->addStretch();
    layout->addLayout(then);
    layout->addWidget(m_editorContainer);
    layout->addWidget(m_preferenceBox);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);
    layout->addLayout(buttons);

    for (const ConditionRowDraft& row : m_draft.rows)
        addRow(row);
    refillPreferenceTable();
    actionChanged();
}

RuleEditorSheet::~RuleEditorSheet() {
    restoreHotkey();
}

PredicateRowView* RuleEditorSheet::addRow(const ConditionRowDraft& row) {
    auto* view = new PredicateRowView(row, m_draft.hotkeyName(), m_choosers, m_hotkeys);
    view->onRemove = [this](PredicateRowView* removed) { removeRow(removed); };
    view->onControlsChanged = [this] { updateFocusOrder(); };
    m_predicatesStack->addWidget(view);
    m_predicateRows.append(view);
    updateFocusOrder();
    return view;
}

void RuleEditorSheet::updateFocusOrder() {
    // Widgets join the focus chain when created or moved into the sheet, which
    // for the rows and the recorders is long after the buttons below them.
    QList<QWidget*> order{m_nameField, m_combinePopup};
    for (const PredicateRowView* row : std::as_const(m_predicateRows))
        order += row->focusOrder();
    order << m_addConditionButton << m_actionPopup;
    for (int row = 0; m_alwaysOpenTable->checkbox(row); ++row)
        order.append(m_alwaysOpenTable->checkbox(row));
    order << m_preferenceTable << m_saveAsDefaultButton << m_cancelButton << m_saveButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void RuleEditorSheet::removeRow(PredicateRowView* row) {
    m_predicateRows.removeOne(row);
    row->hide();
    row->deleteLater();
    updateFocusOrder();
}

RuleActionKind RuleEditorSheet::selectedAction() const {
    return RuleActionKind(m_actionPopup->currentData().toInt());
}

void RuleEditorSheet::actionChanged() {
    m_draft.actionKind = selectedAction();
    m_editorContainer->setVisible(m_draft.actionKind == RuleActionKind::specificEditor);
    m_preferenceBox->setVisible(m_draft.actionKind == RuleActionKind::bestRunningEditor);
    updateSaveButton();
}

void RuleEditorSheet::updateSaveButton() {
    m_saveButton->setEnabled(selectedAction() != RuleActionKind::specificEditor ||
                             !m_alwaysOpenTable->checkedBundleIDs().isEmpty());
}

void RuleEditorSheet::refillPreferenceTable() {
    m_preferenceTable->clear();
    for (const QString& id : m_draft.preferenceOrder) {
        QString name = id;
        for (const Editor& editor : m_route.editors) {
            if (editor.bundleID == id) {
                name = editor.name;
                break;
            }
        }
        m_preferenceTable->addItem(name);
    }
}

void RuleEditorSheet::movePreference(int from, int gap) {
    m_draft.preferenceOrder = RouteSettingsSummary::movedToGap(m_draft.preferenceOrder, from, gap);
    refillPreferenceTable();
}

void RuleEditorSheet::saveAsDefaultPreferences() {
    m_draft.pendingDefaultPreferenceOrder = m_draft.preferenceOrder;
    AlertRequest alert;
    alert.messageText = QStringLiteral("Default preferences updated");
    alert.informativeText =
        QStringLiteral("These will be saved as the route template when you click Save.");
    alert.style = AlertRequest::Style::informational;
    m_alerts.runAlert(alert);
}

void RuleEditorSheet::save() {
    m_draft.rows.clear();
    for (const PredicateRowView* row : m_predicateRows)
        m_draft.rows.append(row->draft());
    const bool recorded = m_hotkeys.shortcut(m_draft.hotkeyName()).has_value();
    const std::optional<Rule> rule = m_draft.build(m_alwaysOpenTable->checkedBundleIDs(), recorded);
    if (!rule)
        return;
    for (PredicateRowView* row : m_predicateRows)
        row->stopRecording();
    // A refused save (the rule's route is gone) keeps the draft open.
    if (m_onSave && !m_onSave(*rule, m_draft.pendingDefaultPreferenceOrder))
        return;
    m_hotkeyResolved = true;
    accept();
}

void RuleEditorSheet::done(int result) {
    for (PredicateRowView* row : m_predicateRows)
        row->stopRecording();
    if (result != Accepted)
        restoreHotkey();
    QDialog::done(result);
}

void RuleEditorSheet::restoreHotkey() {
    if (m_hotkeyResolved)
        return;
    m_hotkeyResolved = true;
    if (m_hotkeys.shortcut(m_draft.hotkeyName()) != m_hotkeySnapshot)
        m_hotkeys.setShortcut(m_draft.hotkeyName(), m_hotkeySnapshot);
}
