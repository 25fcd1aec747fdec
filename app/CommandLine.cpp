#include "app/CommandLine.h"

#include "app/CheckCommand.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {
const char usage[] = "Usage: corvanta [COMMAND] [ARGS...]\n"
                     "\n"
                     "Decides which application opens a file.\n"
                     "\n"
                     "Commands:\n"
                     "  check FILE        decode a routes file and summarise its rules\n"
                     "\n"
                     "Options:\n"
                     "  -h, --help        show this help\n"
                     "  --version         show the version\n";
} // namespace

int runCommandLine(int argc, char** argv) {
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
    err << "corvanta: unknown command \"" << command << "\"\n" << usage;
    return 2;
}
