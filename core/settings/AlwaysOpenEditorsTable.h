#pragma once

#include "core/model/Route.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

class QCheckBox;
class QListWidget;
class QWidget;

// A checklist of the route's enabled editors (pickers' order) that reports the
// ticked ones in list order.
class AlwaysOpenEditorsTable : public QObject {
    Q_OBJECT
public:
    // Identifiers that name no row are dropped.
    AlwaysOpenEditorsTable(const Route& route, const QStringList& initiallyChecked,
                           QObject* parent = nullptr);
    ~AlwaysOpenEditorsTable() override;

    const QList<Editor>& editors() const { return m_editors; }
    QStringList checkedBundleIDs() const;
    // The list to place in a layout; it is deleted with its parent widget.
    QListWidget* scrollView() const { return m_tableView; }
    QCheckBox* checkbox(int row) const;
    std::function<void()> onSelectionChange;

private:
    // What a click on the box of `row` does.
    void toggle(int row, bool on);

    QList<Editor> m_editors;
    QSet<QString> m_checkedIDs;
    QListWidget* m_tableView;
    QList<QCheckBox*> m_boxes;
};
