#include "core/settings/ApplicationChooserDialog.h"

#include "core/pickers/PickerIcons.h"

#include <QCollator>
#include <QDialogButtonBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

ApplicationChooserDialog::ApplicationChooserDialog(const QList<InstalledApplication>& applications,
                                                   const QString& prompt, const QString& message,
                                                   QWidget* parent)
    : QDialog(parent)
    , m_applications(applications)
    , m_search(new QLineEdit(this))
    , m_list(new QListWidget(this))
    , m_choose(nullptr) {
    setObjectName(QStringLiteral("applicationChooser"));
    setWindowTitle(QStringLiteral("Choose Application"));
    setWindowModality(Qt::WindowModal);
    // Over the settings window it is as dark as the window.
    if (parent)
        setPalette(parent->window()->palette());
    resize(420, 480);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(m_applications.begin(), m_applications.end(),
                     [&](const InstalledApplication& a, const InstalledApplication& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });

    m_search->setObjectName(QStringLiteral("searchLineEdit"));
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setAccessibleName(QStringLiteral("Search applications"));
    m_search->setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("applicationListWidget"));
    m_list->setAccessibleName(QStringLiteral("Applications"));
    m_list->setIconSize(QSize(24, 24));
    m_list->setUniformItemSizes(true);
    for (int i = 0; i < m_applications.size(); ++i) {
        const InstalledApplication& app = m_applications.at(i);
        auto* item =
            new QListWidgetItem(PickerIcons::applicationIcon(app.iconName), app.name, m_list);
        item->setData(Qt::UserRole, i);
        item->setToolTip(app.bundleID);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_choose = buttons->addButton(prompt, QDialogButtonBox::AcceptRole);
    m_choose->setObjectName(QStringLiteral("chooseButton"));
    m_choose->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(m_search, &QLineEdit::textChanged, this, &ApplicationChooserDialog::filter);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_choose->setEnabled(row >= 0); });

    auto* layout = new QVBoxLayout(this);
    if (!message.isEmpty()) {
        auto* label = new QLabel(message, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addWidget(m_search);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_search->setFocus();
}

void ApplicationChooserDialog::filter(const QString& text) {
    const QString needle = text.trimmed();
    QListWidgetItem* firstShown = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const InstalledApplication& app = m_applications.at(item->data(Qt::UserRole).toInt());
        const bool shown = needle.isEmpty() || app.name.contains(needle, Qt::CaseInsensitive) ||
                           app.bundleID.contains(needle, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
    }
    QListWidgetItem* current = m_list->currentItem();
    if (!current || current->isHidden())
        m_list->setCurrentItem(firstShown);
    m_choose->setEnabled(firstShown != nullptr);
}

std::optional<InstalledApplication> ApplicationChooserDialog::selectedApplication() const {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden())
        return std::nullopt;
    return m_applications.at(item->data(Qt::UserRole).toInt());
}
