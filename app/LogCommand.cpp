#include "app/LogCommand.h"

#include "core/history/RoutingHistoryFile.h"

#include <QJsonDocument>

namespace {
const char usage[] = "Usage: corvanta log [--json] [-n N]\n";
}

LogCommand::LogCommand(QTextStream& out, QTextStream& err, QString historyPath)
    : m_out(out)
    , m_err(err)
    , m_historyPath(std::move(historyPath)) {}

int LogCommand::run(const QStringList& arguments) {
    bool json = false;
    qsizetype count = RoutingHistoryFile::limit;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--json")) {
            json = true;
            continue;
        }
        QString value;
        if (argument == QLatin1String("-n") && i + 1 < arguments.size())
            value = arguments.at(++i);
        else if (argument.startsWith(QLatin1String("-n")) && argument.size() > 2)
            value = argument.mid(2);
        bool isNumber = false;
        const int number = value.toInt(&isNumber);
        if (!isNumber || number < 0) {
            m_err << "corvanta log: " << (value.isEmpty() ? "unknown argument" : "not a count")
                  << " \"" << (value.isEmpty() ? argument : value) << "\"\n"
                  << usage;
            return 2;
        }
        count = number;
    }
    const auto entries = RoutingHistoryFile::read(m_historyPath);
    if (!entries) {
        m_err << "corvanta log: cannot read " << m_historyPath << "\n";
        return 1;
    }
    for (qsizetype i = 0; i < entries->size() && i < count; ++i) {
        if (json)
            m_out << QJsonDocument(entries->at(i).toJson()).toJson(QJsonDocument::Compact) << "\n";
        else
            m_out << entries->at(i).summaryLine() << "\n";
    }
    m_out.flush();
    return 0;
}

int LogCommand::runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    return LogCommand(out, err, RoutingHistoryFile::defaultPath()).run(arguments);
}
