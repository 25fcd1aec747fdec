#include "tests/integration/EndToEndSupport.h"

#include "tests/integration/LinuxSandbox.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace EndToEnd {
ProcessResult run(const QString& program, const QStringList& arguments, int ms,
                  const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
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

bool ok(const QString& program, const QStringList& arguments, QByteArray* output) {
    const ProcessResult result = run(program, arguments, 20000);
    if (output)
        *output = result.output();
    return result.ok();
}

QStringList visibleWindows(const QStringList& match) {
    return QString::fromLatin1(
               run(QStringLiteral("xdotool"),
                   QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + match)
                   .out)
        .split(u'\n', Qt::SkipEmptyParts);
}

bool activate(const QString& window) {
    return !window.isEmpty() && ok("xdotool", {"windowactivate", "--sync", window}) &&
           ok("xdotool", {"windowfocus", "--sync", window});
}

QString activateNewest(const QStringList& match) {
    QString activated;
    SandboxHelpers::waitUntil([&] {
        const QStringList found = visibleWindows(match);
        for (auto window = found.rbegin(); window != found.rend() && activated.isEmpty(); ++window)
            activated = activate(*window) ? *window : QString();
        return !activated.isEmpty();
    });
    return activated;
}

QRect geometry(const QString& window) {
    QHash<QByteArray, int> values;
    for (const QByteArray& line :
         run("xdotool", {"getwindowgeometry", "--shell", window}).out.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() == 2)
            values.insert(pair[0], pair[1].toInt());
    }
    return {values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT")};
}

bool start(std::unique_ptr<QProcess>& process, const QString& program,
           const QStringList& arguments) {
    process = std::make_unique<QProcess>();
    process->start(program, arguments);
    return process->waitForStarted(15000);
}

void end(std::initializer_list<std::unique_ptr<QProcess>*> processes) {
    for (std::unique_ptr<QProcess>* process : processes) {
        if (*process) {
            (*process)->kill();
            (*process)->waitForFinished();
            process->reset();
        }
    }
}

void activateAction(const QString& action) {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall("io.corvanta.Corvanta", "/io/corvanta/Corvanta",
                                       "org.freedesktop.Application", "ActivateAction")
            << action << QVariantList() << QVariantMap(),
        QDBus::Block, 15000);
    EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
}

QString installCorvanta() {
    LinuxSandbox& sandbox = LinuxSandbox::current();
    // The sandbox's own entry would shadow the one installed from the build.
    QFile::remove(sandbox.applicationsFolder() + QStringLiteral("/io.corvanta.Corvanta.desktop"));
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

QString corvanta() {
    return LinuxSandbox::current().root() + QStringLiteral("/bin/corvanta");
}

Route recorderRoute(const QString& id, const QString& name, const QString& extension,
                    const QStringList& ids) {
    Route result = route(id, name, extension);
    result.editors.clear();
    for (const QString& editorID : ids)
        result.editors.append(editor(editorID));
    result.activeBundleID = ids.value(0);
    return result;
}

Rule hotkeyRule(const QString& editorID) {
    Rule rule = RuleBuilders::rule(RuleBuilders::allOf({}), RuleBuilders::openIn({editorID}));
    rule.when = RuleBuilders::allOf({RuleBuilders::hotkey(rule.hotkeyName())});
    return rule;
}

void writeSettings(const QList<Route>& routes,
                   const QList<std::pair<QString, QByteArray>>& shortcuts) {
    const QString folder = QFileInfo(SandboxHelpers::routesFile()).absolutePath();
    QDir().mkpath(folder);
    writeRoutes(SandboxHelpers::routesFile(), routes);
    QFile::remove(folder + QStringLiteral("/shortcuts.json"));
    if (shortcuts.isEmpty())
        return;
    QJsonObject table;
    for (const auto& [name, keys] : shortcuts)
        table.insert(name, QString::fromUtf8(keys));
    QFile file(folder + QStringLiteral("/shortcuts.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"version", 1}, {"shortcuts", table}}).toJson());
}

bool startInstance(QProcess& process, const QProcessEnvironment& environment,
                   const QStringList& arguments) {
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(corvanta(), arguments);
    return trayInstance().has_value();
}

std::optional<qint64> trayInstance() {
    SandboxHelpers::waitUntil([] { return LinuxSandbox::corvantaInstancePid().has_value(); });
    return LinuxSandbox::corvantaInstancePid();
}

void stopInstance(QProcess& process) {
    LinuxSandbox::stopCorvantaInstance();
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
}
} // namespace EndToEnd
