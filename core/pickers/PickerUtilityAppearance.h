#pragma once

#include "core/model/PickerUtility.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QString>
#include <QStringList>

// Titles and freedesktop icon names of the built-in utilities and of the
// external utility kinds. Icon names come best first; the widgets take the first
// one the icon theme has.
struct PickerUtilityAppearance {
    static QString title(PickerUtilityKind kind);
    static QStringList iconNames(PickerUtilityKind kind);

    // Title of the submenu row and child list of one kind ("Run Shortcuts").
    static QString kindTitle(ExternalUtilityKind kind);
    static QStringList kindIconNames(ExternalUtilityKind kind);
    // Icon of one external utility.
    static QStringList iconNames(const ExternalUtilityRef& ref);
};
