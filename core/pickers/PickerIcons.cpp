#include "core/pickers/PickerIcons.h"

#include "core/pickers/PickerUtilityAppearance.h"
#include "core/platform/Workspace.h"

#include <QFileInfo>

PickerIcons::PickerIcons(const Workspace* workspace)
    : m_workspace(workspace) {}

QIcon PickerIcons::themedIcon(const QStringList& names) {
    for (const QString& name : names) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return {};
}

QIcon PickerIcons::icon(const PickerChoice& choice) const {
    if (const Editor* editor = choice.editor())
        return editorIcon(*editor);
    if (const PickerUtility* utility = choice.utility())
        return themedIcon(PickerUtilityAppearance::iconNames(utility->kind));
    if (const ExternalUtilityRef* ref = choice.external())
        return themedIcon(PickerUtilityAppearance::iconNames(*ref));
    return {};
}

QIcon PickerIcons::applicationIcon(const QString& iconName) {
    const QIcon generic = themedIcon({QStringLiteral("application-x-executable")});
    if (iconName.isEmpty())
        return generic;
    // Desktop entries may name an icon file instead of a theme icon.
    if (QFileInfo(iconName).isAbsolute())
        return QFileInfo::exists(iconName) ? QIcon(iconName) : generic;
    const QIcon themed = QIcon::fromTheme(iconName);
    return themed.isNull() ? generic : themed;
}

QIcon PickerIcons::editorIcon(const Editor& editor) const {
    if (!m_workspace)
        return applicationIcon({});
    const std::optional<QString> location = m_workspace->locationForBundleID(editor.bundleID);
    if (!location)
        return {};
    return applicationIcon(m_workspace->applicationIconName(*location));
}
