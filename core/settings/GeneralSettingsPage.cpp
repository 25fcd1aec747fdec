#include "core/settings/GeneralSettingsPage.h"

#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"
#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString radialStyle = QStringLiteral("radial");
const QString listStyle = QStringLiteral("list");
} // namespace

GeneralSettingsPage::GeneralSettingsPage(Preferences& preferences,
                                         std::function<void()> showOnboarding, QWidget* parent)
    : SettingsPage(parent)
    , m_preferences(preferences) {
    setObjectName(QStringLiteral("generalPage"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Editor picker"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* segments = new QWidget(this);
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
        new QCheckBox(PlatformTexts::text("Use radial even when VoiceOver is on"), this);
    m_voiceOverBox->setObjectName(QStringLiteral("forceRadialCheckBox"));
    m_voiceOverBox->setToolTip(
        PlatformTexts::text("Show the radial picker even when VoiceOver is running"));
    connect(m_voiceOverBox, &QCheckBox::toggled, this, [this](bool on) {
        m_preferences.setBoolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver, on);
    });
    auto* onboarding =
        SettingsControls::button(QStringLiteral("Show Onboarding\u2026"),
                                 PlatformTexts::text("Replay the menu bar introduction"),
                                 QStringLiteral("showOnboardingButton"), this);
    connect(onboarding, &QPushButton::clicked, this, [showOnboarding = std::move(showOnboarding)] {
        if (showOnboarding)
            showOnboarding();
    });

    layout->addWidget(heading);
    layout->addWidget(segments, 0, Qt::AlignLeft);
    layout->addWidget(m_voiceOverBox);
    m_rows = new QVBoxLayout;
    layout->addLayout(m_rows);
    layout->addSpacing(16);
    layout->addWidget(onboarding, 0, Qt::AlignLeft);
    layout->addStretch();
}

void GeneralSettingsPage::addRow(QWidget* row) {
    row->setParent(this);
    m_rows->addWidget(row);
}

bool GeneralSettingsPage::usesListPicker() const {
    return m_preferences.string(PreferenceKeys::editorPickerStyle) == listStyle;
}

void GeneralSettingsPage::reload(const Route&) {
    const bool list = usesListPicker();
    m_listSegment->setChecked(list);
    m_radialSegment->setChecked(!list);
    {
        const QSignalBlocker blocker(m_voiceOverBox);
        m_voiceOverBox->setChecked(
            m_preferences.boolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver)
                .value_or(false));
    }
    m_voiceOverBox->setEnabled(!list);
}

void GeneralSettingsPage::pickerStyleChosen(bool list) {
    m_preferences.setString(PreferenceKeys::editorPickerStyle, list ? listStyle : radialStyle);
    m_voiceOverBox->setEnabled(!list);
    Q_EMIT pickerStyleChanged();
}
