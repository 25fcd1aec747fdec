#include "platform/linux/XcbConnection.h"

#include "platform/linux/QtX11Connection.h"

#include <cstring>

bool XcbConnection::mayConnect() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") && !x11IsOffLimits();
}

std::unique_ptr<XcbConnection> XcbConnection::open() {
    if (!mayConnect())
        return nullptr;
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<XcbConnection>(new XcbConnection(connection, it.data->root));
}

XcbConnection::XcbConnection(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection)
    , m_root(root) {}

XcbConnection::~XcbConnection() {
    xcb_disconnect(m_connection);
}

xcb_atom_t XcbConnection::atom(const char* name) {
    const QByteArray key(name);
    if (auto it = m_atoms.constFind(key); it != m_atoms.constEnd())
        return *it;
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(key.size()), name), nullptr));
    const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
    if (value != XCB_NONE)
        m_atoms.insert(key, value);
    return value;
}

bool XcbConnection::hasExtension(const char* name) const {
    const XcbReply<xcb_query_extension_reply_t> reply(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, uint16_t(std::strlen(name)), name),
        nullptr));
    return reply && reply->present;
}

std::optional<XcbConnection::Property> XcbConnection::property(xcb_window_t window, xcb_atom_t name,
                                                               bool remove) {
    // Length is in 32-bit units.
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection,
                               xcb_get_property(m_connection, remove ? 1 : 0, window, name,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 4u * 1024u * 1024u),
                               nullptr));
    if (!reply || reply->type == XCB_NONE)
        return std::nullopt;
    Property result;
    result.type = reply->type;
    result.format = reply->format;
    const int length = xcb_get_property_value_length(reply.get());
    result.data = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return result;
}

std::optional<uint32_t> XcbConnection::cardinal(xcb_window_t window, xcb_atom_t name,
                                                xcb_atom_t type) {
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1), nullptr));
    if (!reply || reply->type != type || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    uint32_t value = 0;
    std::memcpy(&value, xcb_get_property_value(reply.get()), sizeof value);
    return value;
}
