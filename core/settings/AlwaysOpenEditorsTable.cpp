#include "core/settings/AlwaysOpenEditorsTable.h"

#include "core/settings/SettingsControls.h"

#include "core/settings/RouteSettingsSummary.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>

AlwaysOpenEditorsTable::AlwaysOpenEditorsTable(const Route& route,
                                               const QStringList& initiallyChecked, QObject* parent)
    : QObject(parent)
    , m_editors(RouteSettingsSummary::orderedEnabledEditors(route))
    , m_tableView(new QListWidget) {
    for (const Editor& editor : m_editors) {
        if (initiallyChecked.contains(editor.bundleID))
            m_checkedIDs.insert(editor.bundleID);
    }
    m_tableView->setObjectName(QStringLiteral("alwaysOpenTableView"));
    m_tableView->setAccessibleName(QStringLiteral("Always open in editors"));
    m_tableView->setToolTip(QStringLiteral("Check one or more apps to open matching files in"));
    m_tableView->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tableView->setFrameShape(QFrame::StyledPanel);
    m_tableView->setFixedHeight(120);
    m_tableView->setFocusPolicy(Qt::NoFocus);
    SettingsControls::followRowFocus(m_tableView);
    for (int row = 0; row < m_editors.size(); ++row) {
        const Editor& editor = m_editors.at(row);
        auto* cell = new QWidget;
        auto* layout = new QHBoxLayout(cell);
        layout->setContentsMargins(4, 0, 4, 0);
        auto* box = new QCheckBox(editor.name, cell);
        box->setObjectName(QStringLiteral("alwaysOpenCheckBox"));
        box->setAccessibleName(editor.name);
        box->setChecked(m_checkedIDs.contains(editor.bundleID));
        layout->addWidget(box);
        layout->addStretch();
        SettingsControls::widgetRow(m_tableView, cell, editor.bundleID, editor.name)
            ->setSizeHint(QSize(0, 24));
        connect(box, &QCheckBox::toggled, this, [this, row](bool on) { toggle(row, on); });
        m_boxes.append(box);
    }
}

AlwaysOpenEditorsTable::~AlwaysOpenEditorsTable() = default;

QStringList AlwaysOpenEditorsTable::checkedBundleIDs() const {
    QStringList ids;
    for (const Editor& editor : m_editors) {
        if (m_checkedIDs.contains(editor.bundleID))
            ids.append(editor.bundleID);
    }
    return ids;
}

QCheckBox* AlwaysOpenEditorsTable::checkbox(int row) const {
    return row >= 0 && row < m_boxes.size() ? m_boxes.at(row) : nullptr;
}

void AlwaysOpenEditorsTable::toggle(int row, bool on) {
    if (row < 0 || row >= m_editors.size())
        return;
    if (on)
        m_checkedIDs.insert(m_editors.at(row).bundleID);
    else
        m_checkedIDs.remove(m_editors.at(row).bundleID);
    if (onSelectionChange)
        onSelectionChange();
}
