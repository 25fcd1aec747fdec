#pragma once

#include "core/pickers/PickerChoice.h"

#include <QList>
#include <QString>
#include <optional>

// One row of the list picker.
struct ListPickerRow {
    enum class Kind { editor, utility, submenu, external, separator, back };
    Kind kind = Kind::separator;
    // The entry an editor, utility or external row confirms.
    std::optional<PickerChoice> choice;
    // What a submenu row opens.
    ExternalUtilityKind submenuKind = ExternalUtilityKind::shortcut;
    QList<ExternalUtilityRef> submenuItems;
    bool operator==(const ListPickerRow&) const = default;

    bool isSelectable() const { return kind != Kind::separator; }
    QString title() const;
    QString toolTip() const;
};

// The rows of a list picker: the main list over a picker's entries, and the
// child list a submenu row opens.
struct ListPickerRows {
    // Editors, a separator when editors and anything else are offered, the
    // utilities, then one submenu per external utility kind that has entries.
    static QList<ListPickerRow> mainRows(const QList<PickerChoice>& entries);
    // "‹ Back", then one row per utility.
    static QList<ListPickerRow> childRows(const QList<ExternalUtilityRef>& utilities);
    static std::optional<int> firstSelectableRow(const QList<ListPickerRow>& rows);
};
