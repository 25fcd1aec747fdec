#pragma once

#include "core/platform/Alerts.h"

class WindowActivation;

// Alerts as application-modal message boxes; the beep is the desktop's bell.
class DialogAlerts : public Alerts {
public:
    // With `activation`, each box is shown with the current request's token so
    // that it gets keyboard focus.
    explicit DialogAlerts(WindowActivation* activation = nullptr)
        : m_activation(activation) {}

    int runAlert(const AlertRequest& request) override;
    void beep() override;

private:
    WindowActivation* m_activation;
};
