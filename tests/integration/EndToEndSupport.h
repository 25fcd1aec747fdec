#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// What end-to-end tests share beyond the sandbox: running the desktop's tools
// and installing the built Corvanta into the sandbox's prefix.
namespace EndToEnd {
struct ProcessResult {
    int exitCode = -1; // -1 when it crashed or was killed after the time given
    QByteArray out;
    QByteArray err;
    bool ok() const { return exitCode == 0; }
    QByteArray output() const { return out + err; }
};

// Runs `program` in the sandbox's files folder, killed after `ms`.
ProcessResult run(const QString& program, const QStringList& arguments, int ms = 15000);
inline bool ok(const QString& program, const QStringList& arguments) {
    return run(program, arguments).ok();
}

// Installs Corvanta into the sandbox's prefix beside extra desktop entries (file
// name, lines after the group header) and makes the bus see its service; an
// error text, empty on success.
QString installCorvanta(const QList<std::pair<QString, QByteArray>>& entries = {});
} // namespace EndToEnd
