#pragma once

#include "core/platform/Platform.h"
#include "core/selection/FileManagerActionsInstaller.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

class RouteStore;

// `corvanta install-actions [--remove]`: puts an action per rule with a hotkey
// into the installed file managers' menus, or takes Corvanta's actions out.
class InstallActionsCommand {
public:
    InstallActionsCommand(QTextStream& out, QTextStream& err, const Platform& platform,
                          const RouteStore& store);
    // Exit status: 0 done, 1 something was not written or removed (or the
    // routes could not be read, so nothing was touched), 2 usage.
    int run(const QStringList& arguments);

    // For tests: where the actions go, the program they run, and which file
    // managers count as installed.
    void setFolders(XdgFolders folders);
    void setProgram(const QString& program);
    void setTargets(FileManagerActionsInstaller::Targets targets);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();

private:
    void report(const FileManagerActionsInstaller::Result& result);

    QTextStream& m_out;
    QTextStream& m_err;
    Platform m_platform;
    const RouteStore& m_store;
    std::optional<XdgFolders> m_folders;
    QString m_program; // empty: this executable
    std::optional<FileManagerActionsInstaller::Targets> m_targets;
};
