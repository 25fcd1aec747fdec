#pragma once

#include "core/platform/Alerts.h"

// Alerts as application-modal message boxes; the beep is the desktop's bell.
class DialogAlerts : public Alerts {
public:
    int runAlert(const AlertRequest& request) override;
    void beep() override;
};
