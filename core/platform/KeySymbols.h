#pragma once

#include "core/platform/Shortcut.h"

#include <QString>
#include <initializer_list>
#include <optional>

// The keysym name of a Qt key, as xkbcommon, GTK accelerators and the desktop
// portals write it ("k", "comma", "Page_Up", "F5"); none for a key without one.
namespace KeySymbols {
std::optional<QString> name(int key);

// How one modifier is written in a shortcut's text.
struct ModifierWord {
    Qt::KeyboardModifier modifier;
    const char* word;
};
// The shortcut's text: the word of each of its modifiers in the order `words`
// lists them, then the key's name; none for a key without one.
std::optional<QString> spell(const Shortcut& shortcut, std::initializer_list<ModifierWord> words);
} // namespace KeySymbols
