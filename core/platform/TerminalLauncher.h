#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Starts a terminal application so that its shell runs in a given folder. Most
// terminals do not accept a folder as a file argument, so this is not the same
// as opening the folder with the application.
class TerminalLauncher {
public:
    virtual ~TerminalLauncher() = default;
    using Completion = std::function<void(const std::optional<QString>& errorDescription)>;
    // Starts the terminal at `location` (as the workspace names applications)
    // once per folder in `folders`, as one request. The completion runs once, on
    // the main thread, with the system's description of the first failure.
    virtual void launchInFolders(const QString& location, const QStringList& folders,
                                 Completion completion) = 0;
};
