#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Workspace;

// The terminal used when the user chose none: the first installed of the known
// terminals, the current desktop's own first, so that opening a parent folder
// works on any desktop without a setting.
namespace DefaultTerminal {
// The desktops named by XDG_CURRENT_DESKTOP, in order.
QStringList currentDesktops();
// Desktop IDs of the known terminals, those of `desktops` first.
QStringList candidates(const QStringList& desktops);
// The first candidate the workspace has installed; none when none is.
std::optional<QString> firstInstalled(const Workspace& workspace, const QStringList& desktops);
} // namespace DefaultTerminal
