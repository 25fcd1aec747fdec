#include "core/platform/KeySymbols.h"

#include <iterator>

namespace {
// The keysym names (xkbcommon, without XKB_KEY_) of the printable ASCII keys,
// from 0x20 on; letters are named in lower case, as they are typed.
constexpr const char* asciiNames[] = {
    "space",       "exclam",
    "quotedbl",    "numbersign",
    "dollar",      "percent",
    "ampersand",   "apostrophe",
    "parenleft",   "parenright",
    "asterisk",    "plus",
    "comma",       "minus",
    "period",      "slash",
    "0",           "1",
    "2",           "3",
    "4",           "5",
    "6",           "7",
    "8",           "9",
    "colon",       "semicolon",
    "less",        "equal",
    "greater",     "question",
    "at",          "a",
    "b",           "c",
    "d",           "e",
    "f",           "g",
    "h",           "i",
    "j",           "k",
    "l",           "m",
    "n",           "o",
    "p",           "q",
    "r",           "s",
    "t",           "u",
    "v",           "w",
    "x",           "y",
    "z",           "bracketleft",
    "backslash",   "bracketright",
    "asciicircum", "underscore",
    "grave",
};
static_assert(std::size(asciiNames) == 0x60 - 0x20 + 1);
// The Latin-1 letters from 0xc0 on (Qt names them by their capitals), in lower case.
constexpr const char* latinNames[] = {
    "agrave", "aacute",   "acircumflex", "atilde",      "adiaeresis",  "aring",
    "ae",     "ccedilla", "egrave",      "eacute",      "ecircumflex", "ediaeresis",
    "igrave", "iacute",   "icircumflex", "idiaeresis",  "eth",         "ntilde",
    "ograve", "oacute",   "ocircumflex", "otilde",      "odiaeresis",  "multiply",
    "oslash", "ugrave",   "uacute",      "ucircumflex", "udiaeresis",  "yacute",
    "thorn",  "ssharp",
};
static_assert(std::size(latinNames) == 0xdf - 0xc0 + 1);

} // namespace

std::optional<QString> KeySymbols::name(int key) {
    if (key >= Qt::Key_Space && key <= Qt::Key_QuoteLeft)
        return QString::fromLatin1(asciiNames[key - Qt::Key_Space]);
    if (key >= Qt::Key_Agrave && key <= Qt::Key_ssharp)
        return QString::fromLatin1(latinNames[key - Qt::Key_Agrave]);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    struct Row {
        Qt::Key key;
        const char* name;
    };
    static constexpr Row rows[] = {
        {Qt::Key_BraceLeft, "braceleft"},
        {Qt::Key_Bar, "bar"},
        {Qt::Key_BraceRight, "braceright"},
        {Qt::Key_AsciiTilde, "asciitilde"},
        {Qt::Key_Escape, "Escape"},
        {Qt::Key_Tab, "Tab"},
        {Qt::Key_Backspace, "BackSpace"},
        {Qt::Key_Return, "Return"},
        {Qt::Key_Enter, "KP_Enter"},
        {Qt::Key_Insert, "Insert"},
        {Qt::Key_Delete, "Delete"},
        {Qt::Key_Pause, "Pause"},
        {Qt::Key_Print, "Print"},
        {Qt::Key_Home, "Home"},
        {Qt::Key_End, "End"},
        {Qt::Key_Left, "Left"},
        {Qt::Key_Up, "Up"},
        {Qt::Key_Right, "Right"},
        {Qt::Key_Down, "Down"},
        {Qt::Key_PageUp, "Page_Up"},
        {Qt::Key_PageDown, "Page_Down"},
        {Qt::Key_Menu, "Menu"},
    };
    for (const Row& row : rows) {
        if (row.key == key)
            return QString::fromLatin1(row.name);
    }
    return std::nullopt;
}

std::optional<QString> KeySymbols::spell(const Shortcut& shortcut,
                                         std::initializer_list<ModifierWord> words) {
    const std::optional<QString> key = name(shortcut.key);
    if (!key)
        return std::nullopt;
    QString text;
    for (const ModifierWord& word : words) {
        if (shortcut.modifiers & word.modifier)
            text += QLatin1String(word.word);
    }
    return text + *key;
}
