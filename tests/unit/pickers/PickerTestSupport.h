#pragma once

#include "core/pickers/PickerChoice.h"

#include <QList>
#include <functional>
#include <optional>

// Makes sure a QApplication exists for the widget tests.
void ensureApplication();

PickerChoice editorChoice(const QString& name);
PickerChoice utilityChoice(PickerUtilityKind kind);
PickerChoice shortcutChoice(const QString& name);
PickerChoice serviceChoice(const QString& name);

// Counts completions and keeps the last choice.
struct CompletionRecorder {
    int calls = 0;
    std::optional<PickerChoice> last;
    std::function<void(const std::optional<PickerChoice>&)> callback() {
        return [this](const std::optional<PickerChoice>& choice) {
            ++calls;
            last = choice;
        };
    }
};
