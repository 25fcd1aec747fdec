#include "tests/integration/EndToEndSupport.h"

#include "tests/integration/LinuxSandbox.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>

namespace EndToEnd {
ProcessResult run(const QString& program, const QStringList& arguments, int ms) {
    QProcess process;
    process.setWorkingDirectory(LinuxSandbox::current().filesFolder());
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

QString installCorvanta(const QList<std::pair<QString, QByteArray>>& entries) {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    // The sandbox's own entry would shadow the one installed from the build.
    QFile::remove(sandbox.applicationsFolder() + QStringLiteral("/io.corvanta.Corvanta.desktop"));
    for (const auto& [name, lines] : entries) {
        QFile file(sandbox.applicationsFolder() + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write("[Desktop Entry]\nType=Application\n" + lines) <= 0)
            return QStringLiteral("cannot write ") + name;
    }
    for (const QStringList& command :
         {QStringList{"update-desktop-database", sandbox.applicationsFolder()},
          QStringList{"cmake", "--install", CORVANTA_BINARY_DIR, "--prefix", sandbox.root(),
                      "--component", "Unspecified"}}) {
        const ProcessResult result = run(command.first(), command.mid(1), 60000);
        if (!result.ok())
            return command.join(QLatin1Char(' ')) + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(result.output());
    }
    // The bus was started before the service file existed.
    QDBusConnection::sessionBus().interface()->call(QStringLiteral("ReloadConfig"));
    return {};
}
} // namespace EndToEnd
