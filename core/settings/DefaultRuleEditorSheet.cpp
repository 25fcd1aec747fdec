#include "core/settings/DefaultRuleEditorSheet.h"

#include "core/platform/PlatformTexts.h"
#include "core/settings/AlwaysOpenEditorsTable.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

DefaultRuleEditorSheet::DefaultRuleEditorSheet(const Route& route, OnSave onSave, QWidget* parent)
    : QDialog(parent)
    , m_onSave(std::move(onSave))
    , m_editors(RouteSettingsSummary::orderedEnabledEditors(route))
    , m_modePopup(new QComboBox(this))
    , m_editorLabel(new QLabel(this))
    , m_editorPopup(new QComboBox(this))
    , m_alwaysOpenContainer(new QWidget(this))
    , m_saveButton(new QPushButton(QStringLiteral("Save"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("defaultRuleSheet"));
    setWindowTitle(QStringLiteral("Edit Default Rule"));
    setWindowModality(Qt::WindowModal);
    SettingsAppearance::applyDark(this);
    resize(420, 280);
    const DefaultRuleDraft draft = DefaultRuleDraft::forRoute(route);

    auto* modeLabel = new QLabel(QStringLiteral("Mode:"), this);
    m_modePopup->setObjectName(QStringLiteral("modePopUpButton"));
    m_modePopup->setAccessibleName(QStringLiteral("Default rule mode"));
    m_modePopup->setToolTip(QStringLiteral("How Corvanta behaves when no other rule matches"));
    const QStringList titles = DefaultRuleDraft::modeTitles();
    const QList<RuleActionKind> kinds = DefaultRuleDraft::modeKinds();
    for (int i = 0; i < titles.size(); ++i) {
        m_modePopup->addItem(titles.at(i), int(kinds.at(i)));
        if (kinds.at(i) == draft.mode)
            m_modePopup->setCurrentIndex(i);
    }

    m_editorLabel->setObjectName(QStringLiteral("editorLabel"));
    m_editorPopup->setObjectName(QStringLiteral("editorPopUpButton"));
    m_editorPopup->setAccessibleName(QStringLiteral("Fallback editor"));
    m_editorPopup->setToolTip(
        QStringLiteral("Editor used when interactive Select has no choice or is cancelled"));
    for (const Editor& editor : m_editors) {
        m_editorPopup->addItem(editor.name, editor.bundleID);
        if (draft.fallbackBundleID && editor.bundleID == *draft.fallbackBundleID)
            m_editorPopup->setCurrentIndex(m_editorPopup->count() - 1);
    }

    m_alwaysOpenTable = new AlwaysOpenEditorsTable(route, draft.checkedBundleIDs, this);
    m_alwaysOpenTable->onSelectionChange = [this] { updateSaveButton(); };
    auto* containerLayout = new QVBoxLayout(m_alwaysOpenContainer);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    containerLayout->addWidget(m_alwaysOpenTable->scrollView());

    auto* hint = SettingsControls::hintLabel(
        PlatformTexts::text("Menu bar selection updates the preferred editor (checkmark). Always "
                            "open can target multiple apps."),
        this, true);

    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setToolTip(QStringLiteral("Save the Default Rule settings"));
    m_saveButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setToolTip(QStringLiteral("Discard changes"));
    connect(m_saveButton, &QPushButton::clicked, this, &DefaultRuleEditorSheet::save);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_modePopup, &QComboBox::currentIndexChanged, this,
            &DefaultRuleEditorSheet::modeChanged);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 120);
    grid->setColumnStretch(1, 1);
    // Screen readers name each pop-up by its label, not its value.
    modeLabel->setBuddy(m_modePopup);
    m_editorLabel->setBuddy(m_editorPopup);
    grid->addWidget(modeLabel, 0, 0);
    grid->addWidget(m_modePopup, 0, 1);
    grid->addWidget(m_editorLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(m_editorPopup, 1, 1);
    grid->addWidget(m_alwaysOpenContainer, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addLayout(grid);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addLayout(buttons);
    // Tab follows reading order, whatever the grid's placement.
    QList<QWidget*> order{m_modePopup, m_editorPopup};
    for (int row = 0; m_alwaysOpenTable->checkbox(row); ++row)
        order.append(m_alwaysOpenTable->checkbox(row));
    order << m_cancelButton << m_saveButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    modeChanged();
}

DefaultRuleEditorSheet::~DefaultRuleEditorSheet() = default;

RuleActionKind DefaultRuleEditorSheet::selectedMode() const {
    return RuleActionKind(m_modePopup->currentData().toInt());
}

void DefaultRuleEditorSheet::modeChanged() {
    const bool alwaysOpen = selectedMode() == RuleActionKind::specificEditor;
    m_editorLabel->setText(DefaultRuleDraft::editorLabel(selectedMode()));
    m_alwaysOpenContainer->setVisible(alwaysOpen);
    m_alwaysOpenContainer->setFixedHeight(alwaysOpen ? 120 : 0);
    m_editorPopup->setVisible(!alwaysOpen);
    updateSaveButton();
}

void DefaultRuleEditorSheet::updateSaveButton() {
    m_saveButton->setEnabled(DefaultRuleDraft::canSave(
        selectedMode(), m_alwaysOpenTable->checkedBundleIDs(), m_editors.size()));
}

void DefaultRuleEditorSheet::save() {
    std::optional<QString> fallback;
    if (m_editorPopup->currentIndex() >= 0)
        fallback = m_editorPopup->currentData().toString();
    const auto result =
        DefaultRuleDraft::result(selectedMode(), m_alwaysOpenTable->checkedBundleIDs(), fallback);
    if (!result)
        return;
    // A refused save (the route is gone) keeps the draft open.
    if (m_onSave && !m_onSave(result->kind, result->bundleIDs))
        return;
    accept();
}
