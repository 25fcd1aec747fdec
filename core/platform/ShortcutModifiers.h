#pragma once

#include <QString>
#include <Qt>

// The modifier keys of global shortcuts on this desktop, in one place: Command is
// Super (Qt's Meta), Option is Alt, Control is Ctrl, Shift is Shift.
namespace ShortcutModifiers {
inline constexpr Qt::KeyboardModifier command = Qt::MetaModifier;
inline constexpr Qt::KeyboardModifier option = Qt::AltModifier;
inline constexpr Qt::KeyboardModifier control = Qt::ControlModifier;
inline constexpr Qt::KeyboardModifier shift = Qt::ShiftModifier;
// The modifiers a shortcut is made of; keypad and lock states are not part of it.
inline constexpr Qt::KeyboardModifiers all = {command | option | control | shift};

// "Super+Ctrl+Alt+Shift+" for the modifiers that are set, in the desktop's order.
QString displayPrefix(Qt::KeyboardModifiers modifiers);

// Whether a global shortcut on `key` leaves typing alone: a function key, or a
// key held with Super, Alt or Ctrl. A bare letter would be taken from every program.
bool leavesTypingAlone(int key, Qt::KeyboardModifiers modifiers);
} // namespace ShortcutModifiers
