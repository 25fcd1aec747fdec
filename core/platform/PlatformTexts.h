#pragma once

#include <QString>

// Texts whose original wording names something that does not exist on Linux,
// side by side with the wording used here. Everything else is used verbatim.
namespace PlatformTexts {
struct Replacement {
    const char* original;
    const char* replacement;
};
// Looks up the Linux wording for an original text; returns the text unchanged
// when it needs no replacement.
QString text(const char* original);

// Texts only this desktop needs, with no original to stand in for.
enum class Addition {
    // Next to a hotkey recorder when the desktop assigns global shortcuts itself.
    desktopConfirmsShortcuts,
};
QString text(Addition addition);
} // namespace PlatformTexts
