#include "app/CommandLine.h"

#include "app/ApplicationShell.h"
#include "app/CheckCommand.h"
#include "app/EarlyHandOff.h"
#include "app/ExplainCommand.h"
#include "app/InstallActionsCommand.h"
#include "app/LogCommand.h"
#include "app/RoutesCommand.h"
#include "app/SelectionCommand.h"
#include "app/TeachCommand.h"
#include "platform/linux/XdgAutostartEntry.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {
const char usage[] = "Usage: corvanta [COMMAND] [ARGS...]\n"
                     "\n"
                     "Decides which application opens a file. Without a command, starts\n"
                     "Corvanta in the tray (or does nothing when it already runs).\n"
                     "\n"
                     "Commands:\n"
                     "  open FILE|URL...  open files (paths relative to the current folder) or\n"
                     "                    x-corvanta:// links through the running Corvanta\n"
                     "  open --hotkey NAME... -- FILE...\n"
                     "                    route files as the named rule hotkeys would\n"
                     "  check FILE        decode a routes file and summarise its rules\n"
                     "  routes [--json]   list the routes, their editors and rules\n"
                     "  explain [--json] [--rule REF] [--hotkey NAME]... PATH...\n"
                     "                    show what routing would do with files (opens\n"
                     "                    nothing); --json prints one object per line\n"
                     "  teach FILE        teach the type of a sample file\n"
                     "  selection [--after SECONDS] [--json]\n"
                     "                    wait, then print the files a rule hotkey would\n"
                     "                    read from the frontmost file manager\n"
                     "  install-actions [--remove]\n"
                     "                    add an action per rule with a hotkey to the file\n"
                     "                    managers' menus (--remove takes them out)\n"
                     "  log [--json] [-n N]\n"
                     "                    the files Corvanta routed, newest first, and why\n"
                     "\n"
                     "Options:\n"
                     "  --login           start quietly, as at login (no window)\n"
                     "  -h, --help        show this help\n"
                     "  --version         show the version\n";
} // namespace

int runCommandLine(int argc, char** argv) {
    // These two may need a display, so they make their own application object.
    if (argc < 2)
        return ApplicationShell::runTray(argc, argv, LaunchReason::activate);
    if (qstrcmp(argv[1], XdgAutostartEntry::loginOption) == 0)
        return ApplicationShell::runTray(argc, argv, LaunchReason::login);
    // Started by the bus for the request that follows, which decides for itself
    // whether a window shows.
    if (qstrcmp(argv[1], EarlyHandOff::busStartOption) == 0)
        return ApplicationShell::runTray(argc, argv, LaunchReason::open);
    if (qstrcmp(argv[1], EarlyHandOff::afterOpenOption) == 0)
        return ApplicationShell::runTray(argc, argv, LaunchReason::open, false);
    if (qstrcmp(argv[1], "open") == 0) {
        QList<QByteArray> arguments;
        for (int i = 2; i < argc; ++i)
            arguments.append(QByteArray(argv[i]));
        return ApplicationShell::runOpen(argc, argv, arguments);
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvanta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANTA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("-h") ||
        args.first() == QLatin1String("--help")) {
        out << usage;
        return 0;
    }
    if (args.first() == QLatin1String("--version")) {
        out << "corvanta " << CORVANTA_VERSION << "\n";
        return 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("check"))
        return CheckCommand(out, err).run(args);
    if (command == QLatin1String("routes"))
        return RoutesCommand::runOnLinux(args, out, err);
    if (command == QLatin1String("explain"))
        return ExplainCommand::runOnLinux(args, out, err);
    if (command == QLatin1String("teach"))
        return TeachCommand::runOnLinux(args, out, err);
    if (command == QLatin1String("install-actions"))
        return InstallActionsCommand::runOnLinux(args, out, err);
    if (command == QLatin1String("log"))
        return LogCommand::runOnLinux(args, out, err);
    if (command == QLatin1String("selection"))
        return SelectionCommand::runOnLinux(args, out, err);
    err << "corvanta: unknown command \"" << command << "\"\n" << usage;
    return 2;
}
