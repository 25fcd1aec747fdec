#pragma once

#include "core/model/Route.h"

#include <QWidget>

// One tab of the settings window. It builds its controls once and shows the
// selected route on every reload; its actions go to the store by id, and the
// window reloads every page when the store reports the change.
class SettingsPage : public QWidget {
public:
    using QWidget::QWidget;
    // Shows `route` as the store holds it now, keeping the current row by id.
    virtual void reload(const Route& route) = 0;
};
