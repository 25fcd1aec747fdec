#pragma once

#include "core/pickers/PickerChoice.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct PickerRequest {
    QString title;
    PickerStyle style = PickerStyle::radial;
    // Editors first, then built-in utilities, then external utilities.
    QList<PickerChoice> entries;
    bool operator==(const PickerRequest&) const = default;
};

// Shows a picker and reports the choice once (none when cancelled). The
// completion may run after `present` returns; the presenter keeps itself alive.
class PickerPresenter {
public:
    virtual ~PickerPresenter() = default;
    using Completion = std::function<void(const std::optional<PickerChoice>& choice)>;
    virtual void present(const PickerRequest& request, Completion completion) = 0;
};
