#pragma once

#include "core/settings/SettingsPage.h"

class QLabel;
class QStackedWidget;
class ReorderableList;
class RouteStore;
class SettingsApplications;

// The order tab: the enabled editors in the pickers' order, reordered by
// dragging or Alt+arrows into the route's preference order.
class OrderSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    OrderSettingsPage(RouteStore& store, const SettingsApplications& applications,
                      QWidget* parent = nullptr);

    void reload(const Route& route) override;

private:
    void move(int from, int gap);

    RouteStore& m_store;
    const SettingsApplications& m_applications;
    QString m_routeID;
    QStringList m_shownIDs;
    QStackedWidget* m_stack = nullptr;
    ReorderableList* m_table = nullptr;
    QLabel* m_emptyLabel = nullptr;
};
