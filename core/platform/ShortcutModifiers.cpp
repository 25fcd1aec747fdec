#include "core/platform/ShortcutModifiers.h"

namespace ShortcutModifiers {
QString displayPrefix(Qt::KeyboardModifiers modifiers) {
    struct Name {
        Qt::KeyboardModifier modifier;
        const char* text;
    };
    static constexpr Name names[] = {
        {command, "Super+"}, {control, "Ctrl+"}, {option, "Alt+"}, {shift, "Shift+"}};
    QString prefix;
    for (const Name& name : names) {
        if (modifiers.testFlag(name.modifier))
            prefix += QLatin1String(name.text);
    }
    return prefix;
}

bool leavesTypingAlone(int key, Qt::KeyboardModifiers modifiers) {
    return (key >= Qt::Key_F1 && key <= Qt::Key_F20) || (modifiers & (command | option | control));
}
} // namespace ShortcutModifiers
