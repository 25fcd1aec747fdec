#pragma once

#include <QString>
#include <optional>

// Whether the desktop starts Corvanta when the user logs in.
class LoginItem {
public:
    virtual ~LoginItem() = default;
    virtual bool isEnabled() const = 0;
    // Starts Corvanta at login, or stops doing so; what went wrong when the
    // change could not be made.
    virtual std::optional<QString> setEnabled(bool enabled) = 0;
};
