#pragma once

#include <QString>
#include <functional>
#include <optional>

// Writes the selection helpers into the Application Scripts folder and tells
// whether the copies there are current. Keeps no state: the files are its state.
class ApplicationScriptsInstaller {
public:
    // What the folder dialog shows.
    struct FolderRequest {
        QString message;
        QString buttonTitle;
        QString initialDirectory;
        bool operator==(const FolderRequest&) const = default;
    };
    // Shows a folder dialog and calls back once with the chosen folder, or none
    // when the user cancelled.
    using FolderChooser = std::function<void(const FolderRequest& request,
                                             std::function<void(const std::optional<QString>&)>)>;

    // $XDG_DATA_HOME/Corvanta/Application Scripts (~/.local/share when unset);
    // none without a home folder.
    static std::optional<QString> defaultDirectory();

    // True when every helper in `folder` has exactly the bytes Corvanta writes
    // and can be run.
    static bool areScriptsCurrent(const std::optional<QString>& folder);
    // Creates `folder` and writes each helper that is not current; leaves the
    // current ones untouched. True when all are current afterwards.
    static bool install(const QString& folder);
    // Asks for the folder through `chooser` and installs there. `completion`
    // runs once, on the event loop (at once when there is no default folder).
    static void requestUserMediatedInstall(const FolderChooser& chooser,
                                           std::function<void(bool)> completion);
    // The same with the default folder given, for tests.
    static void requestUserMediatedInstall(const std::optional<QString>& directory,
                                           const FolderChooser& chooser,
                                           std::function<void(bool)> completion);

    // Where to install when the user picked `picked` in the dialog that opened
    // at `directory`: the folder itself or anything inside it means the folder;
    // any other folder is taken as chosen.
    static QString installFolder(const QString& picked, const QString& directory);
};
