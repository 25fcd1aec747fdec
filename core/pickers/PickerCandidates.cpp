#include "core/pickers/PickerCandidates.h"

#include "core/model/Route.h"
#include "core/pickers/PickerUtilityAppearance.h"

QList<PickerChoice> pickerCandidates(const QList<Editor>& editors, const Route& route) {
    return pickerCandidates(editors, route.enabledUtilities(), externalUtilities(route));
}

QList<PickerChoice> pickerCandidates(const QList<Editor>& editors,
                                     const QList<PickerUtility>& utilities,
                                     const QList<ExternalUtilityRef>& externals) {
    QList<PickerChoice> choices;
    choices.reserve(editors.size() + utilities.size() + externals.size());
    for (const Editor& editor : editors)
        choices.append(PickerChoice{editor});
    for (const PickerUtility& utility : utilities) {
        if (utility.enabled)
            choices.append(PickerChoice{utility});
    }
    for (const ExternalUtilityRef& ref : externals)
        choices.append(PickerChoice{ref});
    return choices;
}

QString pickerChoiceLabel(const PickerChoice& choice) {
    if (const Editor* editor = choice.editor())
        return editor->name;
    if (const PickerUtility* utility = choice.utility())
        return PickerUtilityAppearance::title(utility->kind);
    if (const ExternalUtilityRef* ref = choice.external())
        return ref->name();
    return {};
}
