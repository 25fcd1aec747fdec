#pragma once

#include "core/platform/FrontmostApplication.h"
#include "platform/linux/DesktopProgramIndex.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class XcbConnection;

// The application of the window the EWMH window manager calls active
// (_NET_ACTIVE_WINDOW). Without such a window manager, or without X11, there
// is none: the input focus alone names proxy windows, not applications.
class X11FrontmostApplication : public FrontmostApplication {
public:
    X11FrontmostApplication();
    ~X11FrontmostApplication() override;
    std::optional<QString> frontmostBundleID() const override;
    std::optional<qint64> frontmostProcessID() const override;

    // What a top-level window says about its program.
    struct WindowFacts {
        std::optional<QString> gtkApplicationID; // _GTK_APPLICATION_ID
        std::optional<QString> kdeDesktopFile;   // _KDE_NET_WM_DESKTOP_FILE
        std::optional<QString> wmInstance;       // WM_CLASS, first string
        std::optional<QString> wmClass;          // WM_CLASS, second string
        std::optional<QString> executable;       // /proc/PID/exe
        std::optional<qint64> processID;         // _NET_WM_PID
    };
    // The installed entries as the chain needs them.
    struct DesktopLookup {
        std::function<bool(const QString& bundleID)> exists;
        std::function<QStringList(const QString& startupWMClass)> withStartupWMClass;
        std::function<QStringList(const QString& program)> withProgram;
    };
    // The first of: the GTK application ID when that entry exists, the KDE
    // desktop file, an entry whose StartupWMClass is the class or instance, the
    // lower-cased class or instance as an entry, an entry starting the
    // executable.
    static std::optional<QString> bundleIDForWindow(const WindowFacts& facts,
                                                    const DesktopLookup& lookup);
    // Reads the facts of the active window; none without one.
    std::optional<WindowFacts> activeWindowFacts() const;

private:
    // Kept between calls: one hotkey press asks several times, and each new
    // connection cost a handshake and its atoms again.
    XcbConnection* connection() const;

    mutable std::unique_ptr<XcbConnection> m_x;
    mutable DesktopProgramIndex m_index;
};
