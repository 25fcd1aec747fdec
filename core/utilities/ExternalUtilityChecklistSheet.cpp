#include "core/utilities/ExternalUtilityChecklistSheet.h"

#include "core/model/RouteStore.h"
#include "core/platform/PlatformTexts.h"
#include "core/utilities/ExternalUtilityCatalog.h"
#include "core/utilities/FileManagerActions.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
constexpr int rowHeight = 24;
}

ExternalUtilityChecklistSheet::ExternalUtilityChecklistSheet(ExternalUtilityKind kind,
                                                             QString routeID,
                                                             QList<CatalogEntry> entries,
                                                             std::optional<QString> errorMessage,
                                                             QSet<QString> enabledIDs,
                                                             OnToggle onToggle, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_routeID(std::move(routeID))
    , m_entries(std::move(entries))
    , m_errorMessage(std::move(errorMessage))
    , m_enabledIDs(std::move(enabledIDs))
    , m_onToggle(std::move(onToggle)) {
    setObjectName(QStringLiteral("externalUtilityChecklistDialog"));
    setWindowTitle(title(kind));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(420, 360);

    auto* layout = new QVBoxLayout(this);
    m_table = new QListWidget(this);
    m_table->setObjectName(QStringLiteral("utilitiesListWidget"));
    m_table->setAccessibleName(title(kind));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setUniformItemSizes(true);
    for (const CatalogEntry& entry : m_entries) {
        auto* item = new QListWidgetItem(entry.name, m_table);
        item->setData(Qt::UserRole, entry.id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(m_enabledIDs.contains(entry.id) ? Qt::Checked : Qt::Unchecked);
        // Shown as typed, even a name that looks like markup.
        const QString tip = QStringLiteral("Offer ") + entry.name +
                            PlatformTexts::text(" in the picker and menu bar");
        item->setToolTip(Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip) : tip);
        item->setSizeHint(QSize(0, rowHeight));
    }
    layout->addWidget(m_table, 1);

    m_emptyLabel = new QLabel(this);
    m_emptyLabel->setObjectName(QStringLiteral("emptyLabel"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setWordWrap(true);
    QFont font = m_emptyLabel->font();
    font.setPointSize(12);
    m_emptyLabel->setFont(font);
    m_emptyLabel->setMaximumHeight(QFontMetrics(font).lineSpacing() * 3 + 4);
    layout->addWidget(m_emptyLabel);
    if (m_entries.isEmpty()) {
        m_table->hide();
        m_emptyLabel->setText(m_errorMessage.value_or(QStringLiteral("No items found.")));
        layout->insertStretch(0, 1);
        layout->addStretch(1);
    } else {
        m_emptyLabel->hide();
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* done = buttons->addButton(QStringLiteral("Done"), QDialogButtonBox::AcceptRole);
    done->setObjectName(QStringLiteral("donePushButton"));
    done->setDefault(true);
    done->setAutoDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    connect(m_table, &QListWidget::itemChanged, this, &ExternalUtilityChecklistSheet::toggled);
}

QString ExternalUtilityChecklistSheet::title(ExternalUtilityKind kind) {
    switch (kind) {
    case ExternalUtilityKind::shortcut:
        return QStringLiteral("Run Shortcuts");
    case ExternalUtilityKind::service:
        return PlatformTexts::text("Run Services");
    case ExternalUtilityKind::script:
        return PlatformTexts::text("Run AppleScripts");
    }
    return {};
}

QSet<QString> ExternalUtilityChecklistSheet::enabledIDs(const Route& route,
                                                        ExternalUtilityKind kind) {
    QSet<QString> ids;
    for (const auto& [groupKind, refs] : externalUtilityGroups(route)) {
        if (groupKind == kind)
            for (const ExternalUtilityRef& ref : refs)
                ids.insert(ref.key());
    }
    return ids;
}

void ExternalUtilityChecklistSheet::toggled(QListWidgetItem* item) {
    const QString id = item->data(Qt::UserRole).toString();
    const bool ticked = item->checkState() == Qt::Checked;
    if (ticked == m_enabledIDs.contains(id))
        return;
    if (ticked)
        m_enabledIDs.insert(id);
    else
        m_enabledIDs.remove(id);
    if (m_onToggle)
        m_onToggle(id, item->text(), ticked);
}

void ExternalUtilityChecklistSheet::presentSheet() {
    if (parentWidget()) {
        setWindowModality(Qt::WindowModal);
        show();
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        activateWindow();
    }
}

ExternalUtilityChecklistSheet*
ExternalUtilityChecklistSheet::present(QWidget* parentWindow, ExternalUtilityKind kind,
                                       const QString& routeID, RouteStore& store,
                                       ProcessRunner& processes, bool usesApplicationScripts) {
    CatalogScan scan;
    switch (kind) {
    case ExternalUtilityKind::shortcut:
        scan = ExternalUtilityCatalog::listShortcuts(
            processes, QString::fromLatin1(ExternalUtilityCatalog::shortcutsToolPath));
        break;
    case ExternalUtilityKind::service:
        scan = FileManagerActions::listServices(FileManagerActionFolders::fromEnvironment());
        break;
    case ExternalUtilityKind::script:
        scan = ExternalUtilityCatalog::listScripts(usesApplicationScripts);
        break;
    }
    const std::optional<Route> route = store.routeWithID(routeID);
    auto* sheet = new ExternalUtilityChecklistSheet(
        kind, routeID, scan.entries, scan.errorMessage,
        route ? enabledIDs(*route, kind) : QSet<QString>(),
        [&store, kind, routeID](const QString& id, const QString& name, bool enabled) {
            if (kind == ExternalUtilityKind::script)
                store.setScriptUtilityEnabled(routeID, id, name, enabled);
            else
                store.setExternalUtilityEnabled(routeID, kind, id, name, enabled);
        },
        parentWindow ? parentWindow->window() : nullptr);
    sheet->presentSheet();
    return sheet;
}
