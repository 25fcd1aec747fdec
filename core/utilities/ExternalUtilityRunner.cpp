#include "core/utilities/ExternalUtilityRunner.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/ProcessRunner.h"
#include "core/utilities/ActionCommandLine.h"

#include <QFileInfo>

namespace {

using ExternalUtilityCatalog::isRunnable;

QString quoted(const QString& name) {
    return QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
}

QList<QByteArray> pathsOf(const QList<QUrl>& files) {
    QList<QByteArray> paths;
    for (const QUrl& file : files)
        paths.append(LocalFileURL::nativePath(file));
    return paths;
}

QString lastLine(const QByteArray& text) {
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!line->trimmed().isEmpty())
            return line->trimmed();
    }
    return QString();
}

// A stored relative path that would leave the scripts folder names no script.
bool staysInside(const QString& relativePath) {
    if (relativePath.isEmpty() || relativePath.startsWith(QLatin1Char('/')))
        return false;
    for (const QString& part : relativePath.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

} // namespace

ExternalUtilityRunner::Folders ExternalUtilityRunner::Folders::fromEnvironment() {
    FileManagerActionFolders actions = FileManagerActionFolders::fromEnvironment();
    return {actions.dataHome, std::move(actions)};
}

ExternalUtilityRunner::ExternalUtilityRunner(ProcessRunner& processes, Folders folders)
    : ExternalUtilityRunner(processes, std::move(folders), Tools()) {}

ExternalUtilityRunner::ExternalUtilityRunner(ProcessRunner& processes, Folders folders, Tools tools)
    : m_processes(processes)
    , m_folders(std::move(folders))
    , m_tools(std::move(tools)) {}

std::optional<QString> ExternalUtilityRunner::run(const ExternalUtilityRef& ref,
                                                  const QList<QUrl>& files,
                                                  bool usesApplicationScripts) {
    switch (ref.kind) {
    case ExternalUtilityKind::shortcut:
        return runShortcut(ref.key(), ref.name(), files);
    case ExternalUtilityKind::service:
        return runService(ref.key(), ref.name(), files);
    case ExternalUtilityKind::script:
        return runScript(ref.key(), ref.name(), files, usesApplicationScripts);
    }
    return std::nullopt;
}

std::optional<QString> ExternalUtilityRunner::runShortcut(const QString& id, const QString& name,
                                                          const QList<QUrl>& files) {
    QList<QByteArray> arguments = {"run", ProcessRequest::encode(id)};
    for (const QByteArray& path : pathsOf(files))
        arguments << "-i" << path;
    const ProcessResult result = m_processes.run({m_tools.shortcuts, arguments});
    if (!result.started())
        return QStringLiteral("Could not run shortcut ") + quoted(name) + QStringLiteral(": ") +
               *result.launchError;
    return std::nullopt;
}

std::optional<QString> ExternalUtilityRunner::runService(const QString& id, const QString& name,
                                                         const QList<QUrl>& files) {
    const auto action = FileManagerActions::find(id, name, m_folders.actions);
    const ActionStart start = action ? runAction(*action, files) : ActionStart::failed;
    if (start == ActionStart::started)
        return std::nullopt;
    if (start == ActionStart::refused)
        return QStringLiteral("Could not run service ") + quoted(name) +
               QStringLiteral(": a file name could run as a command.");
    return QStringLiteral("Could not run service ") + quoted(name) + QStringLiteral(".");
}

ExternalUtilityRunner::ActionStart ExternalUtilityRunner::runAction(const FileManagerAction& action,
                                                                    const QList<QUrl>& files) {
    const QList<QByteArray> paths = pathsOf(files);
    const QByteArray folder =
        paths.isEmpty() ? QByteArray() : LocalFileURL::folderPath(paths.first());
    if (action.source == FileManagerAction::Source::nautilusScript) {
        // As Nautilus starts its scripts: the paths as arguments and in the
        // environment, in the folder of the selection.
        ProcessRequest request(QFile::encodeName(action.filePath), paths);
        QByteArray pathLines, uriLines;
        for (const QUrl& file : files) {
            pathLines += LocalFileURL::nativePath(file) + '\n';
            uriLines += file.toEncoded() + '\n';
        }
        request.environment = {
            {"NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", pathLines},
            {"NAUTILUS_SCRIPT_SELECTED_URIS", uriLines},
            {"NAUTILUS_SCRIPT_CURRENT_URI", LocalFileURL::fromNativePath(folder).toEncoded()},
        };
        if (!folder.isEmpty())
            request.workingDirectory = folder;
        return m_processes.run(request).started() ? ActionStart::started : ActionStart::failed;
    }
    if (!action.exec)
        return ActionStart::failed;
    const ActionCommandLine::Plan plan = ActionCommandLine::plan(
        FileManagerActions::dialect(action), *action.exec,
        {files, action.name, QFile::encodeName(action.filePath), QString()});
    // Nemo's backtick quoting asks the shell to run each file as a command.
    if (plan.unsafe || action.quote == QLatin1String("backtick"))
        return ActionStart::refused;
    if (plan.runs.isEmpty())
        return ActionStart::failed;
    for (const QList<QByteArray>& argv : plan.runs) {
        ProcessRequest request(argv.first(), argv.mid(1));
        // Thunar and Nemo start actions in the folder of the (first) file.
        if (!folder.isEmpty() && action.source != FileManagerAction::Source::kdeServiceMenu)
            request.workingDirectory = folder;
        if (!m_processes.run(request).started())
            return ActionStart::failed;
    }
    return ActionStart::started;
}

std::optional<QString> ExternalUtilityRunner::runWaited(ProcessRequest request,
                                                        const QString& loadFailure,
                                                        const QString& timeoutMessage) {
    request.waitForExit = true;
    request.timeout = applicationScriptsTimeout;
    request.killOnTimeout = false;
    request.outputLimit = waitedOutputLimit;
    const ProcessResult result = m_processes.run(request);
    if (!result.started())
        return loadFailure;
    if (result.timedOut)
        return timeoutMessage;
    if (result.outputLimitExceeded)
        return QStringLiteral("The program printed more than Corvanta reads and was stopped.");
    if (result.exitCode != 0) {
        // The reason is on standard error; standard output is often progress.
        for (const QByteArray& stream : {result.standardError, result.standardOutput}) {
            const QString line = lastLine(stream);
            if (!line.isEmpty())
                return line;
        }
        return result.exitCode
                   ? QStringLiteral("The program ended with exit status %1.").arg(*result.exitCode)
                   : QStringLiteral("The program was stopped.");
    }
    return std::nullopt;
}

std::optional<QString> ExternalUtilityRunner::runScript(const QString& relativePath,
                                                        const QString& name,
                                                        const QList<QUrl>& files,
                                                        bool usesApplicationScripts) {
    const auto folder =
        ExternalUtilityCatalog::scriptsFolder(usesApplicationScripts, m_folders.dataHome);
    if (!folder)
        return QStringLiteral("Scripts folder is unavailable.");
    const QString path = *folder + QLatin1Char('/') + relativePath;
    if (!staysInside(relativePath) || !QFileInfo::exists(path))
        return QStringLiteral("Script ") + quoted(name) + QStringLiteral(" was not found.");
    const QByteArray script = QFile::encodeName(path);
    const QList<QByteArray> paths = pathsOf(files);
    const QString suffix = QFileInfo(path).suffix().toLower();

    if (suffix == QLatin1String("workflow")) {
        QList<QByteArray> arguments;
        for (const QByteArray& file : paths)
            arguments << "-i" << file;
        arguments << script;
        const ProcessRequest request(m_tools.automator, arguments);
        if (usesApplicationScripts) {
            if (!isRunnable(m_tools.automator))
                return QStringLiteral("Could not load workflow ") + quoted(name) +
                       QStringLiteral(".");
            return runWaited(
                request,
                QStringLiteral("Could not load workflow ") + quoted(name) + QStringLiteral("."),
                QStringLiteral("Workflow ") + quoted(name) + QStringLiteral(" timed out."));
        }
        if (auto error = m_processes.run(request).launchError)
            return QStringLiteral("Could not run workflow ") + quoted(name) + QStringLiteral(": ") +
                   *error;
        return std::nullopt;
    }

    // AppleScript goes to osascript, unless the file is a program of its own.
    const bool appleScript =
        (suffix == QLatin1String("applescript") || suffix == QLatin1String("scpt")) &&
        !isRunnable(script);
    const ProcessRequest request =
        appleScript ? ProcessRequest(m_tools.osascript, QList<QByteArray>{script} + paths)
                    : ProcessRequest(script, paths);
    if (usesApplicationScripts) {
        const QString loadFailure =
            QStringLiteral("Could not load script ") + quoted(name) + QStringLiteral(".");
        if (!isRunnable(request.program))
            return loadFailure;
        return runWaited(request, loadFailure,
                         QStringLiteral("Script ") + quoted(name) + QStringLiteral(" timed out."));
    }
    if (auto error = m_processes.run(request).launchError)
        return QStringLiteral("Could not run script ") + quoted(name) + QStringLiteral(": ") +
               *error;
    return std::nullopt;
}
