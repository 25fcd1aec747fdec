#pragma once

#include "app/UpdateService.h"

#include <memory>

class AppDelegate;

// Attaches the update service to the delegate: starts it and installs the
// user's check as the delegate's check-for-updates handler. Without a service
// the handler stays unset, and the menus offer no update check.
class DistributionBootstrap {
public:
    DistributionBootstrap(AppDelegate& delegate, std::unique_ptr<UpdateService> service);

private:
    // Kept for the whole run.
    std::unique_ptr<UpdateService> m_service;
};
