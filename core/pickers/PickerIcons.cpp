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

QIcon PickerIcons::editorIcon(const Editor& editor) const {
    const QIcon generic = themedIcon({QStringLiteral("application-x-executable")});
    if (!m_workspace)
        return generic;
    const std::optional<QString> location = m_workspace->locationForBundleID(editor.bundleID);
    if (!location)
        return {};
    const QString name = m_workspace->applicationIconName(*location);
    if (name.isEmpty())
        return generic;
    // Desktop entries may name an icon file instead of a theme icon.
    if (QFileInfo(name).isAbsolute())
        return QFileInfo::exists(name) ? QIcon(name) : generic;
    QIcon themed = QIcon::fromTheme(name);
    return themed.isNull() ? generic : themed;
}
