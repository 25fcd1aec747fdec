#include "core/settings/RulesSettingsPage.h"

#include "core/engine/RuleDescriptions.h"
#include "core/hotkeys/HotkeyStateWatch.h"
#include "core/model/RouteStore.h"
#include "core/platform/Clipboard.h"
#include "core/settings/ReorderableList.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleRowView.h"
#include "core/settings/SettingsControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

using SettingsControls::button;

namespace {
const QString defaultRowID = QStringLiteral("default");

QStringList ruleIDs(const Route& route) {
    QStringList ids;
    for (const Rule& rule : route.rules)
        ids.append(rule.id);
    return ids;
}
} // namespace

RulesSettingsPage::RulesSettingsPage(RouteStore& store, const RuleDescriptions& descriptions,
                                     ShortcutRegistry& shortcuts, Clipboard& clipboard,
                                     std::function<QString(const QString&)> ruleLinkTemplate,
                                     QWidget* parent)
    : SettingsPage(parent)
    , m_store(store)
    , m_descriptions(descriptions)
    , m_clipboard(clipboard)
    , m_ruleLinkTemplate(std::move(ruleLinkTemplate))
    , m_hotkeyStates(new HotkeyStateWatch(shortcuts, this)) {
    setObjectName(QStringLiteral("rulesPage"));
    connect(m_hotkeyStates, &HotkeyStateWatch::statesChanged, this,
            &RulesSettingsPage::showHotkeyStates);
    auto* layout = new QVBoxLayout(this);
    m_table = new ReorderableList(this);
    layout->addWidget(SettingsControls::labelFor(
        QStringLiteral("First matching rule wins. Drag to reorder. Default Rule is always last."),
        m_table, this));
    m_table->setObjectName(QStringLiteral("rulesTableView"));
    m_table->setAccessibleName(QStringLiteral("Rules"));
    m_table->setToolTip(QStringLiteral("Routing rules evaluated top to bottom. Drag to reorder"));
    // Nothing may land after the Default Rule row.
    m_table->lastGap = [this] { return std::max(0, m_table->count() - 1); };
    m_table->onMove = [this](int from, int gap) { move(from, gap); };
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    SettingsControls::followRowFocus(m_table);
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = m_table->indexAt(pos);
        QMenu* menu = makeContextMenu(index.isValid() ? index.row() : -1);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_table->viewport()->mapToGlobal(pos));
    });
    connect(m_table, &QListWidget::itemDoubleClicked, this, [this] { editCurrent(); });
    connect(m_table, &QListWidget::currentRowChanged, this, &RulesSettingsPage::updateButtons);
    layout->addWidget(m_table, 1);

    auto* add = button(QStringLiteral("Add Rule"),
                       QStringLiteral("Add a new routing rule for this file type"),
                       QStringLiteral("addRuleButton"), this);
    m_editButton = button(QStringLiteral("Edit\u2026"),
                          QStringLiteral("Edit the selected rule or Default Rule"),
                          QStringLiteral("editRuleButton"), this);
    m_removeButton = button(QStringLiteral("Remove"), QStringLiteral("Delete the selected rule"),
                            QStringLiteral("removeRuleButton"), this);
    connect(add, &QPushButton::clicked, this,
            [this] { Q_EMIT editRuleRequested(m_routeID, QString()); });
    connect(m_editButton, &QPushButton::clicked, this, &RulesSettingsPage::editCurrent);
    connect(m_removeButton, &QPushButton::clicked, this, &RulesSettingsPage::removeCurrent);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_removeButton);
    buttons->addStretch();
    layout->addLayout(buttons);
}

void RulesSettingsPage::reload(const Route& route) {
    m_routeID = route.id;
    const ListPosition position = ListPosition::of(m_table);
    m_table->clear();
    m_shownIDs = ruleIDs(route);
    m_shownHotkeys.clear();
    for (const Rule& rule : route.rules) {
        m_shownHotkeys.append(rule.enabled ? rule.usedHotkeyNames() : QStringList());
        const QString summary = m_descriptions.ruleSummary(rule, route.editors);
        auto* row = new RuleRowView(summary, rule.enabled, m_table->viewport());
        SettingsControls::widgetRow(m_table, row, rule.id, summary);
        const QString routeID = route.id;
        const QString ruleID = rule.id;
        connect(row, &RuleRowView::enabledToggled, this,
                [this, routeID, ruleID](bool on) { m_store.setRuleEnabled(routeID, ruleID, on); });
    }
    const QString summary = RuleDescriptions::defaultRuleSummary(route);
    auto* fallbackRow = new RuleRowView(summary, std::nullopt, m_table->viewport());
    QListWidgetItem* fallback =
        SettingsControls::widgetRow(m_table, fallbackRow, defaultRowID, summary);
    // The Default Rule row stays last.
    fallback->setFlags(fallback->flags() & ~Qt::ItemIsDragEnabled);
    position.restore(m_table);
    showHotkeyStates();
    updateButtons();
}

void RulesSettingsPage::showHotkeyStates() {
    for (int row = 0; row < m_shownHotkeys.size(); ++row) {
        QListWidgetItem* item = m_table->item(row);
        auto* view = item ? qobject_cast<RuleRowView*>(m_table->itemWidget(item)) : nullptr;
        if (!view)
            continue;
        const std::optional<QString> reason = m_hotkeyStates->inactiveReason(m_shownHotkeys[row]);
        view->setHotkeyState(reason);
        // Screen readers hear the row as its summary and, when there is one, the reason.
        const QString summary = view->summaryLabel()->text();
        item->setData(Qt::AccessibleTextRole,
                      reason ? summary + QStringLiteral(" (") + *reason + QLatin1Char(')')
                             : summary);
        item->setSizeHint(view->sizeHint());
    }
}

QString RulesSettingsPage::ruleIDAt(int row) const {
    return row >= 0 && row < m_shownIDs.size() ? m_shownIDs.at(row) : QString();
}

void RulesSettingsPage::updateButtons() {
    const int row = m_table->currentRow();
    m_editButton->setEnabled(row >= 0);
    m_removeButton->setEnabled(!ruleIDAt(row).isEmpty());
}

void RulesSettingsPage::editCurrent() {
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QString ruleID = ruleIDAt(row);
    if (ruleID.isEmpty())
        Q_EMIT editDefaultRuleRequested(m_routeID);
    else
        Q_EMIT editRuleRequested(m_routeID, ruleID);
}

void RulesSettingsPage::removeCurrent() {
    const QString ruleID = ruleIDAt(m_table->currentRow());
    if (!ruleID.isEmpty())
        m_store.removeRule(m_routeID, ruleID);
}

void RulesSettingsPage::move(int from, int gap) {
    // Indices of the rules as the store holds them now: after a hand edit the
    // row the user dragged may stand elsewhere, or be gone.
    const QStringList shown = m_shownIDs;
    m_store.reloadIfChanged();
    const std::optional<Route> route = m_store.routeWithID(m_routeID);
    if (!route)
        return;
    const auto move = RouteSettingsSummary::moveByID(shown, from, gap, ruleIDs(*route));
    if (move)
        m_store.moveRule(m_routeID, move->from, move->gap);
}

QMenu* RulesSettingsPage::makeContextMenu(int row) {
    if (row < 0)
        row = m_table->currentRow();
    const QString ruleID = ruleIDAt(row);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rulesContextMenu"));
    QAction* copyID = menu->addAction(QStringLiteral("Copy Rule ID"));
    QAction* copyTemplate = menu->addAction(QStringLiteral("Copy URL Scheme Template"));
    copyTemplate->setToolTip(QStringLiteral("Copies an x-corvanta:// link that forces this rule; "
                                            "fill in file= with the path to open."));
    menu->setToolTipsVisible(true);
    copyID->setEnabled(!ruleID.isEmpty());
    copyTemplate->setEnabled(!ruleID.isEmpty() && m_ruleLinkTemplate);
    connect(copyID, &QAction::triggered, this, [this, ruleID] { m_clipboard.setText(ruleID); });
    connect(copyTemplate, &QAction::triggered, this,
            [this, ruleID] { m_clipboard.setText(m_ruleLinkTemplate(ruleID)); });
    return menu;
}
