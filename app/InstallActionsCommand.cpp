#include "app/InstallActionsCommand.h"

#include "app/LinuxStoreRunner.h"
#include "app/StoreLoadReport.h"
#include "core/model/RouteStore.h"
#include "core/platform/LauncherProgram.h"

#include <QCoreApplication>

namespace {
bool isUsage(const QStringList& arguments) {
    return arguments.isEmpty() ||
           (arguments.size() == 1 && arguments.first() == QLatin1String("--remove"));
}
} // namespace

InstallActionsCommand::InstallActionsCommand(QTextStream& out, QTextStream& err,
                                             const Platform& platform, const RouteStore& store)
    : m_out(out)
    , m_err(err)
    , m_platform(platform)
    , m_store(store)
    , m_folders(XdgFolders::fromEnvironment()) {}

void InstallActionsCommand::setFolders(XdgFolders folders) {
    m_folders = std::move(folders);
}

void InstallActionsCommand::setProgram(const QString& program) {
    m_program = program;
}

void InstallActionsCommand::setTargets(FileManagerActionsInstaller::Targets targets) {
    m_targets = targets;
}

const char* InstallActionsCommand::usage() {
    return "Usage: corvanta install-actions [--remove]\n";
}

int InstallActionsCommand::run(const QStringList& arguments) {
    if (!isUsage(arguments)) {
        m_err << "corvanta install-actions: unknown argument \"" << arguments.first() << "\"\n"
              << usage();
        return 2;
    }
    if (!m_folders) {
        m_err << "corvanta install-actions: no home folder\n";
        return 1;
    }
    FileManagerActionsInstaller installer(*m_folders, m_program.isEmpty() ? LauncherProgram::path()
                                                                          : m_program);
    if (!arguments.isEmpty()) {
        const FileManagerActionsInstaller::Result result = installer.remove();
        report(result);
        return result.ok() ? 0 : 1;
    }
    // Without the user's rules every action of ours would look stale.
    if (!StoreLoadReport::report(m_store, m_platform.alerts)) {
        m_err << "corvanta install-actions: the routes could not be read; nothing was changed\n";
        return 1;
    }
    const FileManagerActionsInstaller::Targets targets =
        m_targets.value_or(FileManagerActionsInstaller::installedFileManagers());
    if (!targets.any())
        m_out << "No supported file manager (Nautilus, Nemo, Dolphin, Thunar) was found.\n";
    if (FileManagerActionsInstaller::rulesWithHotkeys(m_store.routes(), m_platform.shortcuts)
            .isEmpty())
        m_out << "No rule has a hotkey.\n";
    const FileManagerActionsInstaller::Result result =
        installer.install(m_store.routes(), m_platform.shortcuts, targets);
    report(result);
    return result.ok() ? 0 : 1;
}

void InstallActionsCommand::report(const FileManagerActionsInstaller::Result& result) {
    for (const QString& path : result.written)
        m_out << "wrote " << path << "\n";
    for (const QString& path : result.removed)
        m_out << "removed " << path << "\n";
    for (const QString& reason : result.skipped)
        m_out << "skipped " << reason << "\n";
    for (const QString& error : result.errors)
        m_err << "corvanta install-actions: " << error << "\n";
    m_out.flush();
    m_err.flush();
}

int InstallActionsCommand::runOnLinux(const QStringList& arguments, QTextStream& out,
                                      QTextStream& err) {
    if (!isUsage(arguments)) {
        err << "corvanta install-actions: unknown argument \"" << arguments.first() << "\"\n"
            << usage();
        return 2;
    }
    return runWithLinuxStore<InstallActionsCommand>(arguments, out, err);
}
