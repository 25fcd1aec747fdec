#include "core/settings/OrderSettingsPage.h"

#include "core/model/RouteStore.h"
#include "core/platform/PlatformTexts.h"
#include "core/settings/ReorderableList.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/SettingsApplications.h"
#include "core/settings/SettingsControls.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
QStringList orderedIDs(const Route& route) {
    QStringList ids;
    for (const Editor& editor : RouteSettingsSummary::orderedEnabledEditors(route))
        ids.append(editor.bundleID);
    return ids;
}
} // namespace

OrderSettingsPage::OrderSettingsPage(RouteStore& store, const SettingsApplications& applications,
                                     QWidget* parent)
    : SettingsPage(parent)
    , m_store(store)
    , m_applications(applications) {
    setObjectName(QStringLiteral("orderPage"));
    auto* layout = new QVBoxLayout(this);
    m_stack = new QStackedWidget(this);
    m_table = new ReorderableList(m_stack);
    auto* label = SettingsControls::labelFor(
        QStringLiteral("Priority for interactive \"Select from\u2026\" pickers and for Best "
                       "Running when a rule has no override. Drag to reorder."),
        m_table, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_table->setObjectName(QStringLiteral("orderTableView"));
    m_table->setAccessibleName(QStringLiteral("Editor order"));
    m_table->setToolTip(QStringLiteral(
        "Drag rows to change the priority order used by interactive editor pickers"));
    m_table->setIconSize(QSize(20, 20));
    m_table->onMove = [this](int from, int gap) { move(from, gap); };
    m_emptyLabel = SettingsControls::hintLabel(
        QStringLiteral("No editors are offered for this type. Turn some on in the editors tab."),
        m_stack);
    m_emptyLabel->setObjectName(QStringLiteral("orderEmptyLabel"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(m_table);
    m_stack->addWidget(m_emptyLabel);
    layout->addWidget(m_stack, 1);
}

void OrderSettingsPage::reload(const Route& route) {
    m_routeID = route.id;
    const ListPosition position = ListPosition::of(m_table);
    m_table->clear();
    m_shownIDs.clear();
    for (const Editor& editor : RouteSettingsSummary::orderedEnabledEditors(route)) {
        auto* item =
            new QListWidgetItem(m_applications.icon(editor.bundleID), editor.name, m_table);
        item->setData(Qt::UserRole, editor.bundleID);
        m_shownIDs.append(editor.bundleID);
    }
    position.restore(m_table);
    m_stack->setCurrentWidget(m_shownIDs.isEmpty() ? static_cast<QWidget*>(m_emptyLabel)
                                                   : static_cast<QWidget*>(m_table));
}

void OrderSettingsPage::move(int from, int gap) {
    // The order as the store holds it now: a hand edit may have changed it.
    const QStringList shown = m_shownIDs;
    m_store.reloadIfChanged();
    const std::optional<Route> route = m_store.routeWithID(m_routeID);
    if (!route)
        return;
    const QStringList current = orderedIDs(*route);
    const auto move = RouteSettingsSummary::moveByID(shown, from, gap, current);
    if (!move)
        return;
    const QStringList moved = RouteSettingsSummary::movedToGap(current, move->from, move->gap);
    if (moved != current)
        m_store.setDefaultPreferenceOrder(m_routeID, moved);
}
