#pragma once

#include <QByteArray>
#include <QHash>
#include <cstdlib>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

// One connection of our own to the X server named by $DISPLAY, with cached
// atoms and property reads. Independent of Qt's, so commands without a
// graphical application object can use it too.
class XcbConnection {
public:
    // None when there is no X server to talk to, or none may be (x11IsOffLimits).
    static std::unique_ptr<XcbConnection> open();
    // Whether `open` would try at all: $DISPLAY is set and X11 is not off limits.
    static bool mayConnect();
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    // The atom named `name`, created when missing.
    xcb_atom_t atom(const char* name);
    bool hasExtension(const char* name) const;

    struct Property {
        xcb_atom_t type = XCB_NONE;
        uint8_t format = 0;
        QByteArray data;
    };
    // The whole of a window's property (up to 16 MiB), none when it is unset.
    std::optional<Property> property(xcb_window_t window, xcb_atom_t name, bool remove = false);
    // The first 32-bit value of a property of `type`.
    std::optional<uint32_t> cardinal(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);

private:
    XcbConnection(xcb_connection_t* connection, xcb_window_t root);
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};

struct XcbFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;
