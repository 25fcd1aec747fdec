#include "app/StoreLoadReport.h"

#include "core/model/RouteStore.h"
#include "core/platform/Alerts.h"

bool StoreLoadReport::report(const RouteStore& store, Alerts& alerts) {
    if (!store.loadFailed())
        return true;
    if (const auto& message = store.loadFailureMessage()) {
        AlertRequest request;
        request.messageText = QStringLiteral("Could not load settings");
        request.informativeText = *message;
        alerts.runAlert(request);
    }
    return false;
}
