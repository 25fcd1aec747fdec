#pragma once

#include "core/model/Route.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
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
ProcessResult
run(const QString& program, const QStringList& arguments, int ms = 15000,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
// True when `program` exited with 0 within 20 s; its standard output and error in `output`.
bool ok(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);
// The visible windows xdotool finds with `match` (such as {"--name", PATTERN}).
QStringList visibleWindows(const QStringList& match);
// Activates and focuses `window` through the window manager.
bool activate(const QString& window);
// Activates the newest visible window `match` finds that the window manager
// accepts (a program may map helper windows first), once there is one; its id.
QString activateNewest(const QStringList& match);
// The window's position and size, as xdotool reports them.
QRect geometry(const QString& window);
// Starts `program` into `process`; true once it runs.
bool start(std::unique_ptr<QProcess>& process, const QString& program,
           const QStringList& arguments = {});
// Kills and reaps the processes a test started (those it started at all).
void end(std::initializer_list<std::unique_ptr<QProcess>*> processes);
// Asks the running instance for its desktop action `action` over D-Bus.
void activateAction(const QString& action);

// Installs Corvanta into the sandbox's prefix and makes the bus see its
// service; an error text, empty on success.
QString installCorvanta();

// The installed program.
QString corvanta();
// A route for `extension` whose editors are the test applications `ids`, the first active.
Route recorderRoute(const QString& id, const QString& name, const QString& extension,
                    const QStringList& ids);
// A rule whose one condition is its own hotkey, opening `editorID`.
Rule hotkeyRule(const QString& editorID);
// Writes the routes file, and the shortcut table with `shortcuts` (name, keys).
void writeSettings(const QList<Route>& routes,
                   const QList<std::pair<QString, QByteArray>>& shortcuts = {});
// Starts the tray instance (by default as the autostart entry does: no window
// of its own); true once it owns its bus name.
bool startInstance(
    QProcess& process,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    const QStringList& arguments = {QStringLiteral("--login")});
// The tray instance's process once one runs (a cold start's launcher hands the
// bus name to it); none when none came up in time.
std::optional<qint64> trayInstance();
// Ends the instance a test started and its process.
void stopInstance(QProcess& process);
} // namespace EndToEnd
