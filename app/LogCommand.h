#pragma once

#include <QStringList>
#include <QTextStream>

// `corvanta log [--json] [-n N]`: the routing history, newest first. Only reads.
class LogCommand {
public:
    LogCommand(QTextStream& out, QTextStream& err, QString historyPath);
    // Exit status: 0 listed (also when nothing was routed yet), 1 the history
    // could not be read, 2 usage.
    int run(const QStringList& arguments);

    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);

private:
    QTextStream& m_out;
    QTextStream& m_err;
    QString m_historyPath;
};
