#include "core/platform/AutomationStatus.h"

#include <array>
#include <utility>

namespace {
const std::array<std::pair<AutomationStatus, const char*>, 4> names{{
    {AutomationStatus::granted, "granted"},
    {AutomationStatus::denied, "denied"},
    {AutomationStatus::notDetermined, "notDetermined"},
    {AutomationStatus::unavailable, "unavailable"},
}};
} // namespace

namespace AutomationStatusNames {

QString toString(AutomationStatus status) {
    for (const auto& [value, name] : names) {
        if (value == status)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<AutomationStatus> fromString(const QString& name) {
    for (const auto& [value, text] : names) {
        if (name == QLatin1String(text))
            return value;
    }
    return std::nullopt;
}

} // namespace AutomationStatusNames
