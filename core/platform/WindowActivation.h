#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The desktop's leave to take keyboard focus. A request from the file manager
// (a double-click) carries a token for it: an XDG activation token on Wayland,
// a startup notification ID on X11. Corvanta passes it on to the picker or
// alert the request leads to, and to the editor it launches.
class WindowActivation {
public:
    virtual ~WindowActivation() = default;
    // The token that came with the request being handled; none replaces it.
    virtual void setRequestToken(const std::optional<QString>& token) = 0;
    virtual std::optional<QString> requestToken() const = 0;
    // Called with the native handle of a top-level window just before it is shown.
    virtual void prepareToShow(quintptr nativeWindow) = 0;
};
