#include "app/DistributionBootstrap.h"

#include "core/routing/AppDelegate.h"

std::unique_ptr<UpdateService> makeUpdateService() {
    return nullptr;
}

DistributionBootstrap::DistributionBootstrap(AppDelegate& delegate,
                                             std::unique_ptr<UpdateService> service)
    : m_service(std::move(service)) {
    if (!m_service)
        return;
    m_service->start();
    UpdateService* updates = m_service.get();
    delegate.setCheckForUpdatesHandler([updates] { updates->checkForUpdates(); });
}
