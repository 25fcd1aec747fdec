#include "core/settings/PredicateRowView.h"

#include "core/platform/PlatformTexts.h"
#include "core/settings/RuleHotkeyAccess.h"
#include "core/settings/SettingsChoosers.h"
#include "core/settings/SettingsControls.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PredicateRowView::PredicateRowView(const ConditionRowDraft& draft, const QString& hotkeyName,
                                   SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys,
                                   QWidget* parent)
    : QWidget(parent)
    , m_draft(draft)
    , m_hotkeyName(hotkeyName)
    , m_choosers(choosers)
    , m_hotkeys(hotkeys)
    , m_kindPopup(new QComboBox(this))
    , m_opPopup(new QComboBox(this))
    , m_valueField(new QLineEdit(draft.valueText, this))
    , m_folderButton(new QPushButton(this))
    , m_appButton(new QPushButton(this))
    , m_hotkeyNote(SettingsControls::hintLabel(QString(), this, true))
    , m_countField(new QLineEdit(draft.countText, this))
    , m_removeButton(new QPushButton(QStringLiteral("\u2212"), this)) {
    setObjectName(QStringLiteral("predicateRowView"));
    setFixedHeight(28);
    m_kindPopup->setObjectName(QStringLiteral("kindPopUpButton"));
    m_kindPopup->addItems(ConditionRowDraft::kindTitles());
    m_kindPopup->setCurrentIndex(int(ConditionRowDraft::kinds().indexOf(draft.kind)));
    m_kindPopup->setAccessibleName(QStringLiteral("Condition type"));
    m_kindPopup->setToolTip(QStringLiteral("What aspect of the file or context to match"));
    m_opPopup->setObjectName(QStringLiteral("opPopUpButton"));
    m_opPopup->setAccessibleName(QStringLiteral("Operator"));
    m_opPopup->setToolTip(QStringLiteral("How to compare the condition value"));
    SettingsControls::labelForScreenReaders(m_kindPopup);
    SettingsControls::labelForScreenReaders(m_opPopup);
    m_valueField->setObjectName(QStringLiteral("valueLineEdit"));
    m_valueField->setAccessibleName(QStringLiteral("Value"));
    m_valueField->setToolTip(QStringLiteral("Text to match for this condition"));
    m_folderButton->setObjectName(QStringLiteral("folderPushButton"));
    m_folderButton->setToolTip(QStringLiteral("Choose the parent folder to match"));
    m_appButton->setObjectName(QStringLiteral("appPushButton"));
    m_appButton->setToolTip(QStringLiteral("Choose the app that created the file"));
    const QString note = PlatformTexts::text(
        "Include \u2318 so Finder doesn't steal the key. F-keys don't need it.");
    m_hotkeyNote->setObjectName(QStringLiteral("hotkeyNoteLabel"));
    m_hotkeyNote->setText(note);
    m_hotkeyNote->setAccessibleName(note);
    m_hotkeyNote->setToolTip(note);
    m_countField->setObjectName(QStringLiteral("countLineEdit"));
    m_countField->setAccessibleName(QStringLiteral("Editor count"));
    m_countField->setToolTip(QStringLiteral("Number of running editors to compare against"));
    m_countField->setMaximumWidth(60);
    m_removeButton->setObjectName(QStringLiteral("removePushButton"));
    m_removeButton->setAccessibleName(QStringLiteral("Remove condition"));
    m_removeButton->setToolTip(QStringLiteral("Remove this condition from the rule"));
    m_removeButton->setFixedWidth(32);

    connect(m_kindPopup, &QComboBox::currentIndexChanged, this, &PredicateRowView::kindChanged);
    connect(m_opPopup, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_draft.operatorIndex = index;
    });
    connect(m_valueField, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_draft.valueText = text; });
    connect(m_countField, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_draft.countText = text; });
    connect(m_folderButton, &QPushButton::clicked, this, &PredicateRowView::chooseFolder);
    connect(m_appButton, &QPushButton::clicked, this, &PredicateRowView::chooseApp);
    connect(m_removeButton, &QPushButton::clicked, this, [this] {
        stopRecording();
        if (onRemove)
            onRemove(this);
    });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_kindPopup);
    layout->addWidget(m_opPopup);
    layout->addWidget(m_valueField, 1);
    layout->addWidget(m_folderButton, 1);
    layout->addWidget(m_appButton, 1);
    layout->addWidget(m_hotkeyNote, 1);
    layout->addWidget(m_countField);
    layout->addStretch(0);
    layout->addWidget(m_removeButton);
    refill();
}

void PredicateRowView::kindChanged(int index) {
    const QList<PredicateKind> kinds = ConditionRowDraft::kinds();
    if (index < 0 || index >= kinds.size())
        return;
    if (m_draft.kind == PredicateKind::hotkey && kinds.at(index) != PredicateKind::hotkey)
        stopRecording();
    m_draft.setKind(kinds.at(index));
    refill();
}

void PredicateRowView::refill() {
    const PredicateKind kind = m_draft.kind;
    {
        const QSignalBlocker blocker(m_opPopup);
        m_opPopup->clear();
        m_opPopup->addItems(ConditionRowDraft::operatorTitles(kind));
        m_opPopup->setCurrentIndex(m_draft.operatorIndex);
    }
    m_opPopup->setVisible(kind != PredicateKind::hotkey);
    m_valueField->setVisible(kind == PredicateKind::fileName ||
                             kind == PredicateKind::fileExtension);
    m_folderButton->setVisible(kind == PredicateKind::parentFolder);
    m_folderButton->setText(m_draft.folderPath.isEmpty() ? QStringLiteral("Choose\u2026")
                            : QFileInfo(m_draft.folderPath).fileName().isEmpty()
                                ? m_draft.folderPath
                                : QFileInfo(m_draft.folderPath).fileName());
    m_appButton->setVisible(kind == PredicateKind::creatorApp);
    m_appButton->setText(m_draft.appBundleID.isEmpty() ? QStringLiteral("Choose App\u2026")
                                                       : m_draft.appName);
    const bool hotkey = kind == PredicateKind::hotkey;
    if (hotkey && !m_hotkeyRecorder) {
        m_hotkeyRecorder = m_hotkeys.makeRecorder(m_hotkeyName, this);
        m_hotkeyRecorder->setAccessibleName(QStringLiteral("Hotkey"));
        auto* row = static_cast<QHBoxLayout*>(layout());
        row->insertWidget(row->indexOf(m_hotkeyNote), m_hotkeyRecorder);
        if (onControlsChanged)
            onControlsChanged();
    }
    if (m_hotkeyRecorder)
        m_hotkeyRecorder->setVisible(hotkey);
    m_hotkeyNote->setVisible(hotkey);
    m_countField->setVisible(kind == PredicateKind::runningEditors);
}

QList<QWidget*> PredicateRowView::focusOrder() const {
    QList<QWidget*> order{m_kindPopup, m_opPopup, m_valueField, m_folderButton, m_appButton};
    // The recorder and then its button: a widget whose focus proxy can take
    // focus is a tab stop of its own, which hands focus to the button; left
    // elsewhere in the chain, Tab would come back to the button from there.
    if (m_hotkeyRecorder) {
        order.append(m_hotkeyRecorder);
        if (QWidget* button = m_hotkeyRecorder->focusProxy())
            order.append(button);
    }
    order << m_countField << m_removeButton;
    return order;
}

void PredicateRowView::stopRecording() {
    if (m_hotkeyRecorder)
        m_hotkeys.stopRecording(m_hotkeyRecorder);
}

void PredicateRowView::chooseFolder() {
    const std::optional<QString> folder =
        m_choosers.chooseFolder(window(), {QStringLiteral("Choose the parent folder to match"),
                                           QStringLiteral("Choose"), QString(), QString()});
    if (!folder)
        return;
    m_draft.folderPath = *folder;
    refill();
}

void PredicateRowView::chooseApp() {
    const auto app = m_choosers.chooseApplication(
        window(), {QStringLiteral("Choose the app that created the file"), QStringLiteral("Choose"),
                   QString(), QString()});
    if (!app)
        return;
    m_draft.appBundleID = app->bundleID;
    m_draft.appName = app->name;
    refill();
}
