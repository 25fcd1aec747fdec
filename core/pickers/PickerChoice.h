#pragma once

#include "core/model/Editor.h"
#include "core/model/PickerUtility.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QList>
#include <QString>
#include <optional>
#include <variant>

// What a picker returns: an editor, a built-in utility or an external utility.
// An absent choice means the user cancelled.
struct PickerChoice {
    std::variant<Editor, PickerUtility, ExternalUtilityRef> value;
    // An editor confirmed with Shift held: open, then offer a rule for this choice.
    bool makesRule = false;
    bool operator==(const PickerChoice&) const = default;

    const Editor* editor() const { return std::get_if<Editor>(&value); }
    const PickerUtility* utility() const { return std::get_if<PickerUtility>(&value); }
    const ExternalUtilityRef* external() const { return std::get_if<ExternalUtilityRef>(&value); }
};

enum class PickerStyle { radial, list };
