#pragma once

#include <QString>
#include <optional>

// The application whose window the user is looking at, asked afresh each call.
class FrontmostApplication {
public:
    virtual ~FrontmostApplication() = default;
    // Its bundle identifier; none when no window is active or it maps to no
    // installed application.
    virtual std::optional<QString> frontmostBundleID() const = 0;
    // Its process, when the window names one.
    virtual std::optional<qint64> frontmostProcessID() const = 0;
};
