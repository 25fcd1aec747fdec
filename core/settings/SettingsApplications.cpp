#include "core/settings/SettingsApplications.h"

#include "core/pickers/PickerIcons.h"
#include "core/platform/Workspace.h"

const SettingsApplications::Info& SettingsApplications::info(const QString& bundleID) const {
    auto it = m_applications.find(bundleID);
    if (it == m_applications.end()) {
        Info info;
        if (const std::optional<QString> location = m_workspace.locationForBundleID(bundleID)) {
            info.installed = true;
            info.name = m_workspace.applicationName(*location);
            info.iconName = m_workspace.applicationIconName(*location);
        }
        it = m_applications.insert(bundleID, info);
    }
    return *it;
}

QIcon SettingsApplications::icon(const QString& bundleID) const {
    return PickerIcons::applicationIcon(info(bundleID).iconName);
}

QString SettingsApplications::displayName(const QString& bundleID) const {
    const QString& name = info(bundleID).name;
    return name.isEmpty() ? bundleID : name;
}
