#pragma once

#include "core/pickers/PickerChoice.h"

#include <QIcon>
#include <QStringList>

class Workspace;

// Icons of picker entries: an editor's application icon, the themed icons of
// the utilities. Without a workspace, editors get the generic application icon.
class PickerIcons {
public:
    explicit PickerIcons(const Workspace* workspace = nullptr);

    QIcon icon(const PickerChoice& choice) const;
    // The first of `names` the icon theme has; a null icon when it has none.
    static QIcon themedIcon(const QStringList& names);
    // An application's icon from its desktop entry's Icon value (a theme name
    // or an icon file); the generic application icon when there is none.
    static QIcon applicationIcon(const QString& iconName);

private:
    QIcon editorIcon(const Editor& editor) const;

    const Workspace* m_workspace;
};
