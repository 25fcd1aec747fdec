#include "core/pickers/ListPickerRows.h"

#include "core/pickers/PickerCandidates.h"
#include "core/pickers/PickerUtilityAppearance.h"

namespace {
const QString confirmHint = QStringLiteral(". Double-click or Return to confirm");

ListPickerRow choiceRow(ListPickerRow::Kind kind, const PickerChoice& choice) {
    ListPickerRow row;
    row.kind = kind;
    row.choice = choice;
    return row;
}
} // namespace

QString ListPickerRow::title() const {
    switch (kind) {
    case Kind::editor:
    case Kind::utility:
    case Kind::external:
        return choice ? pickerChoiceLabel(*choice) : QString();
    case Kind::submenu:
        return PickerUtilityAppearance::kindTitle(submenuKind) + QStringLiteral("  \u203A");
    case Kind::back:
        return QStringLiteral("\u2039 Back");
    case Kind::separator:
        break;
    }
    return {};
}

QString ListPickerRow::toolTip() const {
    switch (kind) {
    case Kind::editor:
        return QStringLiteral("Open with ") + title() + confirmHint;
    case Kind::utility:
        return title() + confirmHint;
    case Kind::external:
        return QStringLiteral("Run ") + title() + confirmHint;
    case Kind::submenu:
        return QStringLiteral("Show ") + PickerUtilityAppearance::kindTitle(submenuKind);
    case Kind::back:
        return QStringLiteral("Return to the previous list");
    case Kind::separator:
        break;
    }
    return {};
}

QList<ListPickerRow> ListPickerRows::mainRows(const QList<PickerChoice>& entries) {
    QList<ListPickerRow> editors;
    QList<ListPickerRow> utilities;
    QList<ExternalUtilityRef> externals;
    for (const PickerChoice& entry : entries) {
        if (entry.editor())
            editors.append(choiceRow(ListPickerRow::Kind::editor, entry));
        else if (entry.utility())
            utilities.append(choiceRow(ListPickerRow::Kind::utility, entry));
        else if (const ExternalUtilityRef* ref = entry.external())
            externals.append(*ref);
    }

    QList<ListPickerRow> rows = editors;
    if (!editors.isEmpty() && (!utilities.isEmpty() || !externals.isEmpty()))
        rows.append(ListPickerRow{});
    rows.append(utilities);
    for (ExternalUtilityKind kind : allExternalUtilityKinds) {
        ListPickerRow submenu;
        submenu.kind = ListPickerRow::Kind::submenu;
        submenu.submenuKind = kind;
        for (const ExternalUtilityRef& ref : externals) {
            if (ref.kind == kind)
                submenu.submenuItems.append(ref);
        }
        if (!submenu.submenuItems.isEmpty())
            rows.append(submenu);
    }
    return rows;
}

QList<ListPickerRow> ListPickerRows::childRows(const QList<ExternalUtilityRef>& utilities) {
    QList<ListPickerRow> rows;
    ListPickerRow back;
    back.kind = ListPickerRow::Kind::back;
    rows.append(back);
    for (const ExternalUtilityRef& ref : utilities)
        rows.append(choiceRow(ListPickerRow::Kind::external, PickerChoice{ref}));
    return rows;
}

std::optional<int> ListPickerRows::firstSelectableRow(const QList<ListPickerRow>& rows) {
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.at(i).isSelectable())
            return i;
    }
    return std::nullopt;
}
