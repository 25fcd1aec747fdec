#pragma once

#include "core/platform/WindowActivation.h"

#include <QByteArray>

// Hands the request's token to the window system. X11: the window carries it as
// _NET_STARTUP_ID, which window managers check against focus stealing, and the
// startup sequence the file manager began for it is ended. Wayland: Qt takes
// XDG_ACTIVATION_TOKEN from the environment when it activates the next window.
class DesktopWindowActivation : public WindowActivation {
public:
    void setRequestToken(const std::optional<QString>& token) override;
    std::optional<QString> requestToken() const override { return m_token; }
    void prepareToShow(quintptr nativeWindow) override;

    // The startup-notification message that ends the sequence `id`, as the
    // chunks of _NET_STARTUP_INFO client messages carry it (NUL-terminated).
    static QByteArray removeMessage(const QString& id);

private:
    std::optional<QString> m_token;
    bool m_sequenceEnded = false;
};
