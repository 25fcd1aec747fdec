#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <vector>

// What the benchmarks share: clocks, files, child processes and a file manager
// with a selection.
namespace BenchSupport {
qint64 monotonicNs();
// Writes `bytes` to `path`, making its folder; false when any of it failed.
bool writeFile(const QString& path, const QByteArray& bytes);
// Runs `program` (killed after `ms`); its standard output. `ok` tells whether it
// exited with 0.
QByteArray run(const QString& program, const QStringList& arguments, bool* ok = nullptr,
               int ms = 20000);
// Starts this benchmark again on its own X server and session bus (xvfb-run,
// dbus-run-session) unless it runs there already, or `useDisplay` and $DISPLAY
// is set; returns true to go on in this process, false when starting failed.
bool wrapInXvfb(char** argv, bool useDisplay = false);
// The middle sample (the upper one of an even count); -1 when there is none.
double median(std::vector<double> samples);

// A window manager and Thunar showing `folder` with all of its files selected and
// its window active, as a user leaves it before pressing a rule's hotkey. Both
// end with this object.
class ThunarSelection {
public:
    explicit ThunarSelection(const QString& folder);
    ~ThunarSelection();
    const QString& window() const { return m_window; }

private:
    QProcess m_windowManager;
    QProcess m_thunar;
    QString m_window;
};
} // namespace BenchSupport
