#pragma once

#include "core/selection/FileManagerActionsInstaller.h"

#include <optional>

class RouteStore;
class ShortcutRegistry;

// Keeps the file-manager actions the user installed in step with the rules:
// after every change of the routes, and whenever a hotkey recorder finishes,
// it installs again (which rewrites only what changed). While none of ours is
// installed it does nothing: installing needs the user's consent.
class FileManagerActionsKeeper {
public:
    FileManagerActionsKeeper(RouteStore& store, ShortcutRegistry& shortcuts,
                             FileManagerActionsInstaller installer,
                             FileManagerActionsInstaller::Targets targets);
    ~FileManagerActionsKeeper();
    FileManagerActionsKeeper(const FileManagerActionsKeeper&) = delete;
    FileManagerActionsKeeper& operator=(const FileManagerActionsKeeper&) = delete;

    void refresh();

private:
    RouteStore& m_store;
    ShortcutRegistry& m_shortcuts;
    FileManagerActionsInstaller m_installer;
    FileManagerActionsInstaller::Targets m_targets;
    int m_storeHandler = 0;
    int m_recorderObserver = 0;
};
