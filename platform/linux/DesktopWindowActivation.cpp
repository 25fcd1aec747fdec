#include "platform/linux/DesktopWindowActivation.h"
#include "platform/linux/QtX11Connection.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {
struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Startup notification messages go to the root window in 20-byte pieces: the
// first as _NET_STARTUP_INFO_BEGIN, the rest as _NET_STARTUP_INFO.
void broadcast(xcb_connection_t* connection, const QByteArray& message) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype offset = 0; offset < message.size(); offset += 20) {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = screen->root;
        event.type = offset == 0 ? begin : more;
        const QByteArray piece = message.mid(offset, 20);
        std::memcpy(event.data.data8, piece.constData(), size_t(piece.size()));
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}
} // namespace

void DesktopWindowActivation::setRequestToken(const std::optional<QString>& token) {
    if (token == m_token)
        return;
    m_token = token && !token->isEmpty() ? token : std::nullopt;
    m_sequenceEnded = false;
}

QByteArray DesktopWindowActivation::removeMessage(const QString& id) {
    QByteArray quoted = id.toUtf8();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return "remove: ID=\"" + quoted + "\"" + QByteArray(1, '\0');
}

void DesktopWindowActivation::prepareToShow(quintptr nativeWindow) {
    if (!m_token)
        return;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        qputenv("XDG_ACTIVATION_TOKEN", m_token->toUtf8());
        return;
    }
    xcb_connection_t* connection = qtX11Connection();
    if (!connection || !nativeWindow)
        return;
    const QByteArray id = m_token->toUtf8();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(nativeWindow),
                        atom(connection, "_NET_STARTUP_ID"), atom(connection, "UTF8_STRING"), 8,
                        uint32_t(id.size()), id.constData());
    if (!m_sequenceEnded) {
        broadcast(connection, removeMessage(*m_token));
        m_sequenceEnded = true;
    }
    xcb_flush(connection);
}
