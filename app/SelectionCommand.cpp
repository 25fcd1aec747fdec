#include "app/SelectionCommand.h"

#include "core/model/LocalFileURL.h"
#include "core/platform/FrontmostApplication.h"
#include "platform/linux/LinuxPlatform.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString sourceName(FileSelectionResolver::Answer answer) {
    switch (answer) {
    case FileSelectionResolver::Answer::accessibility:
        return QStringLiteral("accessibility");
    case FileSelectionResolver::Answer::finder:
        return QStringLiteral("fileManager");
    case FileSelectionResolver::Answer::none:
        break;
    }
    return QStringLiteral("none");
}

// The restored clipboard lives in this process; like any X clipboard owner it
// must keep answering after the command is done, so a child does that until
// another program takes the clipboard (or the X server goes away).
void keepServingClipboard(X11ClipboardSelection& clipboard) {
    if (!clipboard.servesClipboard())
        return;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child > 0)
        clipboard.abandonConnection();
    if (child != 0)
        return;
    ::setsid();
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        // Whoever reads our output must not wait for the child.
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    clipboard.serveClipboard(QDeadlineTimer(QDeadlineTimer::Forever));
    ::_exit(0);
}
} // namespace

const char* SelectionCommand::usage() {
    return "Usage: corvanta selection [--after SECONDS] [--json]\n";
}

std::optional<SelectionCommand::Options> SelectionCommand::parse(const QStringList& arguments,
                                                                 QString& error) {
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--after")) {
            bool ok = false;
            const double seconds = i + 1 < arguments.size() ? arguments.at(i + 1).toDouble(&ok) : 0;
            if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > 3600) {
                error = QStringLiteral("--after needs a number of seconds (0 to 3600)");
                return std::nullopt;
            }
            options.afterSeconds = seconds;
            ++i;
        } else {
            error = QStringLiteral("unknown argument \"%1\"").arg(argument);
            return std::nullopt;
        }
    }
    return options;
}

SelectionCommand::SelectionCommand(QIODevice& out, const FrontmostApplication& frontmost,
                                   FileSelectionResolver resolver, std::function<void(int)> sleepMs)
    : m_out(out)
    , m_frontmost(frontmost)
    , m_resolver(std::move(resolver))
    , m_sleepMs(std::move(sleepMs)) {}

int SelectionCommand::run(const Options& options) {
    if (options.afterSeconds > 0 && m_sleepMs)
        m_sleepMs(int(std::lround(options.afterSeconds * 1000)));
    // Read before resolving: the copy keys must not change the answer.
    const std::optional<QString> frontmost = m_frontmost.frontmostBundleID();
    const std::optional<qint64> pid = m_frontmost.frontmostProcessID();
    FileSelectionResolver::Answer answer = FileSelectionResolver::Answer::none;
    const QList<QUrl> urls = m_resolver.selectedFileURLs(&answer);
    if (options.json) {
        QJsonArray uris;
        QJsonArray paths;
        for (const QUrl& url : urls) {
            // The URI keeps every byte; the path is for reading.
            uris.append(QString::fromLatin1(url.toEncoded()));
            paths.append(QFile::decodeName(LocalFileURL::nativePath(url)));
        }
        QJsonObject object;
        object.insert(QStringLiteral("frontmostApplication"),
                      frontmost ? QJsonValue(*frontmost) : QJsonValue());
        object.insert(QStringLiteral("processID"), pid ? QJsonValue(*pid) : QJsonValue());
        object.insert(QStringLiteral("source"), sourceName(answer));
        object.insert(QStringLiteral("uris"), uris);
        object.insert(QStringLiteral("paths"), paths);
        m_out.write(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    } else {
        for (const QUrl& url : urls)
            m_out.write(LocalFileURL::nativePath(url) + '\n');
    }
    return urls.isEmpty() ? 1 : 0;
}

int SelectionCommand::runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString error;
    const std::optional<Options> options = parse(arguments, error);
    if (!options) {
        err << "corvanta selection: " << error << "\n" << usage();
        return 2;
    }
    out.flush();
    LinuxPlatform linuxPlatform;
    const Platform platform = linuxPlatform.platform();
    // The defaults the tray application starts with.
    const FileSelectionResolver resolver = FileSelectionResolver::make(
        {platform.frontmost, platform.accessibilitySelection, platform.fileManagerSelection}, true,
        false);
    QFile stdoutFile;
    if (!stdoutFile.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    const int status = SelectionCommand(stdoutFile, platform.frontmost, resolver, [](int ms) {
                           QThread::msleep(ulong(ms));
                       }).run(*options);
    keepServingClipboard(linuxPlatform.clipboardSelection());
    return status;
}
