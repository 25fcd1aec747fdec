#include "core/selection/TCCPermissions.h"

#include "core/platform/SelectionPermissions.h"
#include "core/selection/ScriptableFileManager.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace TCCPermissions {

AutomationStatus automationStatus(const SelectionPermissions& permissions, const QString& bundleID,
                                  bool askingUser) {
    bool known = false;
    for (const ScriptableFileManager& manager : ScriptableFileManager::builtins())
        known = known || manager.matches(bundleID);
    if (!known)
        return AutomationStatus::unavailable;
    const AutomationStatus status = permissions.automationStatus();
    if (status == AutomationStatus::unavailable && askingUser)
        return AutomationStatus::notDetermined;
    return status;
}

AutomationStatus fileManagerAutomationStatus(const SelectionPermissions& permissions,
                                             bool askingUser) {
    return automationStatus(
        permissions, ScriptableFileManager::builtins().first().bundleIDs.first(), askingUser);
}

void requestAutomation(const SelectionPermissions& permissions, QObject* context,
                       std::function<void(AutomationStatus)> completion) {
    // Nothing to ask the user here; the answer still arrives later, as a
    // request's would, so callers behave the same on every desktop.
    const AutomationStatus status = fileManagerAutomationStatus(permissions, false);
    QTimer::singleShot(0, context, [status, completion = std::move(completion)] {
        if (completion)
            completion(status);
    });
}

bool isAccessibilityTrusted(const SelectionPermissions& permissions) {
    return permissions.isAccessibilityEnabled();
}

void requestAccessibility(SelectionPermissions& permissions) {
    // Whether it took is read back by the refresh that follows.
    permissions.enableAccessibility();
}

std::array<double, 3> toneColour(PermissionTone tone) {
    switch (tone) {
    case PermissionTone::granted:
        return {0.494, 0.906, 0.522};
    case PermissionTone::attention:
        return {0.949, 0.8, 0.376};
    case PermissionTone::pending:
        break;
    }
    return {0.49, 0.522, 0.565};
}

namespace {
TileStatus granted() {
    return {QStringLiteral("● granted"), PermissionTone::granted};
}
TileStatus notGranted() {
    return {QStringLiteral("○ not granted"), PermissionTone::attention};
}
TileStatus denied() {
    return {QStringLiteral("○ denied — enable in Settings"), PermissionTone::attention};
}
TileStatus scriptsNeeded() {
    return {QStringLiteral("○ scripts needed — Install Scripts…"), PermissionTone::attention};
}
} // namespace

TileStatus accessibilityTileStatus(bool trusted) {
    return trusted ? granted() : notGranted();
}

TileStatus automationTileStatus(AutomationStatus status) {
    switch (status) {
    case AutomationStatus::granted:
        return granted();
    case AutomationStatus::denied:
        return denied();
    case AutomationStatus::notDetermined:
    case AutomationStatus::unavailable:
        break;
    }
    return notGranted();
}

TileStatus automationTileStatusWithScripts(bool scriptsCurrent, AutomationStatus status,
                                           const std::function<ScriptCheck()>& runInstalledScript,
                                           const std::function<AutomationStatus()>& probeAgain) {
    if (!scriptsCurrent)
        return scriptsNeeded();
    if (status == AutomationStatus::granted)
        return granted();
    const ScriptCheck check = runInstalledScript ? runInstalledScript() : ScriptCheck::failed;
    switch (check) {
    case ScriptCheck::missingScript:
        return scriptsNeeded();
    case ScriptCheck::succeeded:
        return granted();
    case ScriptCheck::failed:
        break;
    }
    const AutomationStatus again = probeAgain ? probeAgain() : status;
    return again == AutomationStatus::denied ? denied() : notGranted();
}

TileStatus requestingTileStatus() {
    return {QStringLiteral("◐ requesting…"), PermissionTone::pending};
}

TileStatus firstUseTileStatus() {
    return {QStringLiteral("◐ requested on first use"), PermissionTone::pending};
}

} // namespace TCCPermissions
