#pragma once

#include <QString>
#include <optional>

// Named global shortcuts ("rule-" + rule id). Read side only: key grabbing lives
// with the hotkey center.
class ShortcutRegistry {
public:
    virtual ~ShortcutRegistry() = default;
    // Display text of the shortcut stored under `name` ("Ctrl+Alt+M"); none when unset.
    virtual std::optional<QString> shortcutDisplayText(const QString& name) const = 0;
};
