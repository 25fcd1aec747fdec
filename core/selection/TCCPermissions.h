#pragma once

#include "core/platform/AutomationStatus.h"

#include <QString>
#include <array>
#include <functional>

class QObject;
class SelectionPermissions;

// The two privileges reading a selection needs, probed afresh on every call,
// and the status lines the settings window shows for them. "Automation" is
// whether Corvanta can make a file manager copy its selection here;
// "Accessibility" is whether assistive technologies are switched on.
namespace TCCPermissions {

// The status for the file manager `bundleID`. An identifier that is no known
// file manager has no target: unavailable. Without consent prompts,
// `askingUser` only decides how an unusable window system reads: a request
// leaves it undetermined, a plain probe unavailable.
AutomationStatus automationStatus(const SelectionPermissions& permissions, const QString& bundleID,
                                  bool askingUser);
// The status for the built-in file managers, the ones every selection asks.
AutomationStatus fileManagerAutomationStatus(const SelectionPermissions& permissions,
                                             bool askingUser);
// Requests Automation; `completion` gets the status afterwards, later on the
// thread of `context`, and not at all once `context` is gone.
void requestAutomation(const SelectionPermissions& permissions, QObject* context,
                       std::function<void(AutomationStatus)> completion);

bool isAccessibilityTrusted(const SelectionPermissions& permissions);
// Switches assistive technologies on; the tiles are refreshed afterwards.
void requestAccessibility(SelectionPermissions& permissions);

enum class PermissionTone { granted, attention, pending };
// sRGB components of a tone.
std::array<double, 3> toneColour(PermissionTone tone);

struct TileStatus {
    QString text;
    PermissionTone tone;
    bool operator==(const TileStatus&) const = default;
};

// How running the installed helper program for the status check ended.
enum class ScriptCheck { missingScript, failed, succeeded };

TileStatus accessibilityTileStatus(bool trusted);
TileStatus automationTileStatus(AutomationStatus status);
// Application Scripts mode: `runInstalledScript` runs only when the scripts
// are current and the status is not granted; `probeAgain` only after it failed.
TileStatus automationTileStatusWithScripts(bool scriptsCurrent, AutomationStatus status,
                                           const std::function<ScriptCheck()>& runInstalledScript,
                                           const std::function<AutomationStatus()>& probeAgain);
// Shown while a request runs, and before the first refresh.
TileStatus requestingTileStatus();
TileStatus firstUseTileStatus();

} // namespace TCCPermissions
