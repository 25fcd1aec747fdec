#include "core/settings/HistorySettingsBox.h"

#include "core/platform/Preferences.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

HistorySettingsBox::HistorySettingsBox(Preferences& preferences, std::function<void()> clearHistory,
                                       QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* remember = new QCheckBox(QStringLiteral("Remember routed files"), this);
    remember->setObjectName(QStringLiteral("rememberRoutedFilesCheckBox"));
    remember->setToolTip(QStringLiteral("Keep the last files Corvanta routed, and why, for the "
                                        "tray menu and \u201ccorvanta log\u201d"));
    remember->setChecked(preferences.boolean(PreferenceKeys::remembersRoutedFiles).value_or(true));
    connect(remember, &QCheckBox::toggled, this, [&preferences](bool on) {
        preferences.setBoolean(PreferenceKeys::remembersRoutedFiles, on);
    });
    auto* clear = new QPushButton(QStringLiteral("Clear History"), this);
    clear->setObjectName(QStringLiteral("clearHistoryButton"));
    clear->setToolTip(QStringLiteral("Forget every file Corvanta routed"));
    clear->setEnabled(static_cast<bool>(clearHistory));
    connect(clear, &QPushButton::clicked, this, [clearHistory = std::move(clearHistory)] {
        if (clearHistory)
            clearHistory();
    });
    layout->addWidget(remember);
    layout->addWidget(clear);
    layout->addStretch();
}
