#pragma once

#include "core/platform/Shortcut.h"

#include <QString>
#include <optional>

class QWidget;

// What the rule editor needs of the global shortcuts: the shortcut stored under
// a name (to take a snapshot and put it back), and a recorder for a name.
class RuleHotkeyAccess {
public:
    virtual ~RuleHotkeyAccess() = default;
    // The shortcut stored under `name`; none when unset.
    virtual std::optional<Shortcut> shortcut(const QString& name) const = 0;
    // Stores `shortcut` under `name`, or removes it when none.
    virtual void setShortcut(const QString& name, const std::optional<Shortcut>& shortcut) = 0;
    // A recorder that stores what it records under `name`.
    virtual QWidget* makeRecorder(const QString& name, QWidget* parent) = 0;
    // Ends a recording in progress in a recorder made here.
    virtual void stopRecording(QWidget* recorder) = 0;
};
