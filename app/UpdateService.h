#pragma once

#include <memory>

// A software-update mechanism the shell can attach: started at launch, it
// offers a check the user starts from the menus. The default build has none.
class UpdateService {
public:
    virtual ~UpdateService() = default;
    // Starts scheduled background checks according to the service's own settings.
    virtual void start() = 0;
    // A check the user asked for, with the service's own user interface.
    virtual void checkForUpdates() = 0;
};

// The update service this build was made with; none by default.
std::unique_ptr<UpdateService> makeUpdateService();
