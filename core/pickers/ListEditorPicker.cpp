#include "core/pickers/ListEditorPicker.h"

#include "core/pickers/ListPickerTable.h"
#include "core/pickers/PickerIcons.h"
#include "core/pickers/PickerUtilityAppearance.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace {
constexpr QSize contentSize(320, 280);

QScreen* screenUnderPointer() {
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

// Secondary text: the window text colour dimmed, as desktop styles do for hints.
QPalette secondaryPalette(QPalette palette) {
    QColor dim = palette.color(QPalette::WindowText);
    dim.setAlphaF(0.6);
    palette.setColor(QPalette::WindowText, dim);
    return palette;
}
} // namespace

ListEditorPicker::ListEditorPicker(const QString& title, const QList<PickerChoice>& entries,
                                   const IconSource& icons, QObject* parent)
    : ListEditorPicker(ListPickerRows::mainRows(entries), title, icons, parent) {}

ListEditorPicker::ListEditorPicker(ExternalUtilityKind kind,
                                   const QList<ExternalUtilityRef>& utilities,
                                   const IconSource& icons, QObject* parent)
    : ListEditorPicker(ListPickerRows::childRows(utilities),
                       PickerUtilityAppearance::kindTitle(kind), icons, parent) {}

ListEditorPicker::ListEditorPicker(QList<ListPickerRow> rows, const QString& title,
                                   const IconSource& icons, QObject* parent)
    : QObject(parent)
    , m_rows(std::move(rows))
    , m_title(title)
    , m_icons(icons) {}

ListEditorPicker::~ListEditorPicker() {
    delete m_child.data();
    delete m_panel.data();
}

void ListEditorPicker::show(Completion completion) {
    m_completion = std::move(completion);
    const std::optional<int> first = ListPickerRows::firstSelectableRow(m_rows);
    if (!first) {
        finish(std::nullopt);
        return;
    }
    buildPanel();
    m_table->setCurrentRow(*first);
    const QRect area = screenUnderPointer() ? screenUnderPointer()->availableGeometry() : QRect();
    QRect frame(QPoint(), m_panel->size());
    frame.moveCenter(area.center());
    m_panel->move(frame.topLeft());
    if (m_prepareWindow)
        m_prepareWindow(m_panel);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    m_table->setFocus(Qt::ActiveWindowFocusReason);
}

void ListEditorPicker::buildPanel() {
    m_panel = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                       Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_panel->setObjectName(QStringLiteral("listPickerPanel"));
    m_panel->setWindowTitle(m_title);
    m_panel->setAttribute(Qt::WA_DeleteOnClose, false);
    m_panel->setAttribute(Qt::WA_QuitOnClose, false);
    m_panel->setFixedSize(contentSize);

    m_table = new ListPickerTable(m_panel);
    m_table->setObjectName(QStringLiteral("choicesListPickerTable"));
    m_table->setAccessibleName(QStringLiteral("Choose editor or action"));
    m_table->setToolTip(QStringLiteral("Select an item, then press Return. Escape to cancel"));
    fillTable();

    auto* hint = new QLabel(QStringLiteral("Return to confirm \u00B7 Escape to cancel"), m_panel);
    hint->setObjectName(QStringLiteral("hintLabel"));
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 11.0 / 13.0);
    hint->setFont(small);
    hint->setPalette(secondaryPalette(hint->palette()));

    auto* layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->setSpacing(8);
    layout->addWidget(m_table, 1);
    auto* hintRow = new QHBoxLayout;
    hintRow->setContentsMargins(2, 0, 0, 0);
    hintRow->addWidget(hint);
    hintRow->addStretch();
    layout->addLayout(hintRow);

    m_panel->installEventFilter(this);
    m_table->installEventFilter(this);
    connect(m_table, &QListWidget::doubleClicked, this, [this](const QModelIndex& index) {
        // Only a double-click on the selected row confirms, not one on a separator.
        if (index.isValid() && index.row() == m_table->currentRow() &&
            !ListPickerTable::isSeparator(index))
            confirm();
    });
}

void ListEditorPicker::fillTable() {
    for (const ListPickerRow& row : std::as_const(m_rows)) {
        auto* item = new QListWidgetItem(m_table);
        if (!row.isSelectable()) {
            item->setFlags(Qt::NoItemFlags);
            item->setData(ListPickerTable::separatorRole, true);
            continue;
        }
        item->setText(row.title());
        item->setToolTip(row.toolTip());
        item->setIcon(rowIcon(row));
        if (row.kind == ListPickerRow::Kind::submenu)
            item->setData(Qt::AccessibleTextRole,
                          PickerUtilityAppearance::kindTitle(row.submenuKind));
    }
}

QIcon ListEditorPicker::rowIcon(const ListPickerRow& row) const {
    if (row.kind == ListPickerRow::Kind::submenu)
        return PickerIcons::themedIcon(PickerUtilityAppearance::kindIconNames(row.submenuKind));
    if (row.choice && m_icons)
        return m_icons(*row.choice);
    return {};
}

void ListEditorPicker::confirm() {
    if (!isPending() || m_child)
        return;
    const int index = m_table ? m_table->currentRow() : -1;
    if (index < 0 || index >= m_rows.size()) {
        finish(std::nullopt);
        return;
    }
    const ListPickerRow& row = m_rows.at(index);
    switch (row.kind) {
    case ListPickerRow::Kind::editor: {
        PickerChoice choice = *row.choice;
        choice.makesRule = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
        finish(choice);
        return;
    }
    case ListPickerRow::Kind::utility:
    case ListPickerRow::Kind::external:
        finish(row.choice);
        return;
    case ListPickerRow::Kind::submenu:
        openChild(row);
        return;
    case ListPickerRow::Kind::separator:
    case ListPickerRow::Kind::back:
        finish(std::nullopt);
        return;
    }
}

void ListEditorPicker::openChild(const ListPickerRow& row) {
    m_panel->hide();
    auto* child = new ListEditorPicker(row.submenuKind, row.submenuItems, m_icons);
    child->setWindowPreparer(m_prepareWindow);
    m_child = child;
    child->show([this, child](const std::optional<PickerChoice>& choice) {
        m_child = nullptr;
        child->deleteLater();
        if (choice)
            finish(choice);
        else
            bringBack();
    });
}

void ListEditorPicker::bringBack() {
    if (!isPending() || !m_panel)
        return;
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    m_table->setFocus(Qt::ActiveWindowFocusReason);
}

bool ListEditorPicker::eventFilter(QObject* watched, QEvent* event) {
    // While a child list is open this list stays pending but out of the way:
    // its keys and re-activation belong to the child.
    if (!isPending() || m_child)
        return false;
    if (watched == m_panel && event->type() == QEvent::Close) {
        finish(std::nullopt);
        return false;
    }
    if (watched == m_panel && event->type() == QEvent::WindowDeactivate) {
        reactivateLater();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            confirm();
            return true;
        case Qt::Key_Escape:
            finish(std::nullopt);
            return true;
        default:
            break;
        }
    }
    return false;
}

void ListEditorPicker::reactivateLater() {
    QTimer::singleShot(0, this, [this] {
        if (!isPending() || !m_panel || m_child || !m_panel->isVisible())
            return;
        m_panel->raise();
        m_panel->activateWindow();
        m_table->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void ListEditorPicker::finish(const std::optional<PickerChoice>& choice) {
    if (!m_completion)
        return;
    Completion completion = std::exchange(m_completion, {});
    if (m_child) {
        m_child->deleteLater();
        m_child = nullptr;
    }
    if (m_panel) {
        m_panel->removeEventFilter(this);
        if (m_table)
            m_table->removeEventFilter(this);
        m_panel->close();
        m_panel->deleteLater();
    }
    m_panel = nullptr;
    m_table = nullptr;
    completion(choice);
}
