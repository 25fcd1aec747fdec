#pragma once

#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A throw-away user home for tests of the real freedesktop stack: XDG folders
// in a temporary directory (with /usr/share kept for shared-mime-info), test
// desktop entries whose programs are copies of the recorder, and a private
// session bus. Set up before GIO or D-Bus are first used, torn down at exit.
class LinuxSandbox {
public:
    // Creates the home and points the environment at it. False on failure,
    // with the reason in `error()`.
    bool setUp(const QString& recorderPath);
    void tearDown();
    const QString& error() const { return m_error; }

    static LinuxSandbox& current();

    QString root() const { return m_root; }
    QString home() const { return m_root + QStringLiteral("/home"); }
    QString configHome() const { return home() + QStringLiteral("/.config"); }
    QString dataHome() const { return home() + QStringLiteral("/.local/share"); }
    QString applicationsFolder() const { return dataHome() + QStringLiteral("/applications"); }
    QString binFolder() const { return m_root + QStringLiteral("/bin"); }
    QString filesFolder() const { return m_root + QStringLiteral("/files"); }
    QString recordFile() const { return m_root + QStringLiteral("/recorded"); }
    QString busAddress() const { return m_busAddress; }

    // The program of the test application `name` (a copy of the recorder).
    QString programPath(const QString& name) const { return binFolder() + QLatin1Char('/') + name; }
    // The tray instance: the full program that owns Corvanta's bus name on the
    // private bus, if any (not the launcher holding it while the tray starts).
    static std::optional<qint64> corvantaInstancePid();
    // Ends the Corvanta instance a test started and waits for it to go.
    static void stopCorvantaInstance();

    // Records written by the recorder so far, each a list of raw arguments.
    QList<QList<QByteArray>> records() const;

private:
    bool writeEntries(const QString& recorderPath);
    bool startBus();

    QString m_root;
    QString m_busAddress;
    qint64 m_busPid = 0;
    QString m_error;
};

// Helpers the sandboxed tests share.
namespace SandboxHelpers {
// Polls `condition` every 50 ms, running the event loop (and GLib's main context,
// through which GIO and D-Bus report) meanwhile; false once `ms` have passed without it.
bool waitUntil(const std::function<bool()>& condition, int ms = 15000);
// The recorders' records once there are `count` (or the time is up).
QList<QList<QByteArray>> records(qsizetype count, int ms = 15000);
QString routesFile();
// The routes file's bytes, empty when it cannot be read.
QByteArray routesBytes();
// Writes `name` in the files folder (with text: an empty file's content type is
// not the one its name suggests); its path.
QByteArray sample(const QByteArray& name);
} // namespace SandboxHelpers
