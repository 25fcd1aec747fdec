#include "core/pickers/DefaultTerminal.h"

#include "core/model/PickerUtility.h"
#include "core/platform/Workspace.h"

namespace {
struct DesktopTerminals {
    const char* desktop;
    QStringList terminals;
};

// XDG_CURRENT_DESKTOP names, compared ignoring case, with the terminals each
// desktop ships, its current one first.
const QList<DesktopTerminals>& desktopTerminals() {
    static const QList<DesktopTerminals> table = {
        {"GNOME", {"org.gnome.Console", "org.gnome.Terminal", "org.gnome.Ptyxis"}},
        {"KDE", {"org.kde.konsole"}},
        {"XFCE", {"xfce4-terminal", "org.xfce.terminal"}},
        {"LXQt", {"qterminal"}},
        {"LXDE", {"lxterminal"}},
        {"MATE", {"mate-terminal"}},
        {"X-Cinnamon", {"org.gnome.Terminal"}},
        {"Budgie", {"org.gnome.Terminal", "com.gexperts.Tilix"}},
        {"Pantheon", {"io.elementary.terminal"}},
        {"Deepin", {"deepin-terminal"}},
        {"Enlightenment", {"terminology"}},
    };
    return table;
}

// Terminals of no particular desktop, tried last.
const QStringList& generalTerminals() {
    static const QStringList terminals = {QStringLiteral("debian-xterm"), QStringLiteral("xterm"),
                                          QStringLiteral("debian-uxterm")};
    return terminals;
}
} // namespace

namespace DefaultTerminal {

QStringList currentDesktops() {
    return QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP"))
        .split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList candidates(const QStringList& desktops) {
    QStringList result;
    auto add = [&result](const QStringList& ids) {
        for (const QString& id : ids) {
            if (!result.contains(id))
                result.append(id);
        }
    };
    for (const QString& desktop : desktops) {
        for (const DesktopTerminals& row : desktopTerminals()) {
            if (desktop.compare(QLatin1String(row.desktop), Qt::CaseInsensitive) == 0)
                add(row.terminals);
        }
    }
    add(knownTerminalBundleIDs());
    for (const DesktopTerminals& row : desktopTerminals())
        add(row.terminals);
    add(generalTerminals());
    return result;
}

std::optional<QString> firstInstalled(const Workspace& workspace, const QStringList& desktops) {
    for (const QString& id : candidates(desktops)) {
        if (workspace.locationForBundleID(id))
            return id;
    }
    return std::nullopt;
}

} // namespace DefaultTerminal
