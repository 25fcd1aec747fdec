#pragma once

#include <QString>
#include <optional>

// The keysym name of a Qt key, as xkbcommon, GTK accelerators and the desktop
// portals write it ("k", "comma", "Page_Up", "F5"); none for a key without one.
namespace KeySymbols {
std::optional<QString> name(int key);
} // namespace KeySymbols
