#pragma once

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

// Another client of the X server that owns a selection (a tray's, a
// compositing manager's, a clipboard that never answers) until it disconnects.
class SelectionOwnerClient {
public:
    explicit SelectionOwnerClient(const char* selection)
        : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(selection)), selection), nullptr);
        m_selection = atom ? atom->atom : XCB_NONE;
        xcb_set_selection_owner(m_connection, m_window, m_selection, XCB_CURRENT_TIME);
        std::free(atom);
        sync(m_connection);
    }
    ~SelectionOwnerClient() { disconnect(); }
    SelectionOwnerClient(const SelectionOwnerClient&) = delete;
    SelectionOwnerClient& operator=(const SelectionOwnerClient&) = delete;

    bool connected() const { return m_connection && !xcb_connection_has_error(m_connection); }
    // Whether it still owns its selection (it never answers a request for it).
    bool owns() const {
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
        const bool owned = reply && reply->owner == m_window;
        std::free(reply);
        return owned;
    }
    // The selection goes with its owner; returns once the server has seen it go.
    void disconnect() {
        if (!m_connection)
            return;
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
        sync(probe);
        xcb_disconnect(probe);
    }

private:
    static void sync(xcb_connection_t* connection) {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_connection_t* m_connection;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_selection = XCB_NONE;
};
