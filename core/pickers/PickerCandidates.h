#pragma once

#include "core/pickers/PickerChoice.h"

#include <QList>
#include <QString>

struct Route;

// A picker's entries: the editors in the given order, then the route's enabled
// built-in utilities in stored order, then its enabled external utilities.
QList<PickerChoice> pickerCandidates(const QList<Editor>& editors, const Route& route);
QList<PickerChoice> pickerCandidates(const QList<Editor>& editors,
                                     const QList<PickerUtility>& utilities,
                                     const QList<ExternalUtilityRef>& externals);

// The text a picker shows for an entry.
QString pickerChoiceLabel(const PickerChoice& choice);
