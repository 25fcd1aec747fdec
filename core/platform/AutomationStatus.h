#pragma once

#include <QString>
#include <optional>

// Whether Corvanta may ask a file manager for its selection.
enum class AutomationStatus { granted, denied, notDetermined, unavailable };

namespace AutomationStatusNames {
QString toString(AutomationStatus status);
std::optional<AutomationStatus> fromString(const QString& name);
} // namespace AutomationStatusNames
