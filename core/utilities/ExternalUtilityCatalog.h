#pragma once

#include "core/utilities/CatalogEntry.h"

#include <QByteArray>
#include <QString>
#include <optional>

class Alerts;
class FileRevealer;
class ProcessRunner;

// What the checklists list: the Shortcuts the command-line tool knows and the
// user's scripts (Services come from FileManagerActions). Every scan is
// synchronous and nothing is cached.
namespace ExternalUtilityCatalog {
inline constexpr const char* shortcutsToolPath = "/usr/bin/shortcuts";

// The programs that stand in for the macOS tools; absent on most systems.
struct Tools {
    QByteArray shortcuts = shortcutsToolPath;
    QByteArray automator = "/usr/bin/automator";
    QByteArray osascript = "/usr/bin/osascript";
};
// An existing file the user may run.
bool isRunnable(const QByteArray& program);

// Runs `toolPath` with "list --show-identifiers" and reads its lines.
CatalogScan listShortcuts(ProcessRunner& processes, const QString& toolPath);
// Lines of the form "Name (identifier)"; everything else is skipped.
QList<CatalogEntry> shortcutsFromList(const QByteArray& output);

// $XDG_DATA_HOME/Corvanta/Scripts, or in Application Scripts mode
// $XDG_DATA_HOME/Corvanta/Application Scripts; none without a data folder.
std::optional<QString> scriptsFolder(bool usesApplicationScripts, const QString& dataHome);
std::optional<QString> scriptsFolder(bool usesApplicationScripts);
// The user's scripts folder as texts show it ("~/.local/share/Corvanta/Scripts").
QString scriptsFolderForDisplay();
// Executables under `folder` (none: the folder is unavailable), and
// AppleScript files and workflows when their tool is there to run them;
// hidden items are skipped and a workflow is never entered.
CatalogScan listScripts(const std::optional<QString>& folder, const Tools& tools = {});
CatalogScan listScripts(bool usesApplicationScripts);

// Creates the scripts folder and shows it in the file manager; false when
// there is no folder or it cannot be created.
bool revealScriptsFolder(const std::optional<QString>& folder, FileRevealer& revealer);
// The settings window's "Open Scripts Folder": reveals, or tells the user why not.
void openScriptsFolder(bool usesApplicationScripts, FileRevealer& revealer, Alerts& alerts);
} // namespace ExternalUtilityCatalog
