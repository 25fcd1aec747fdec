#include "platform/linux/X11Compositing.h"
#include "platform/linux/QtX11Connection.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {
struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

bool selectionHasOwner(xcb_connection_t* connection, const QByteArray& name) {
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
        nullptr));
    // Only-if-exists: no atom means no client ever named the selection.
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}
} // namespace

namespace X11Compositing {

bool windowsCanBeTranslucent() {
    xcb_connection_t* connection = qtX11Connection();
    // Wayland, and the offscreen platform that draws into memory.
    if (!connection)
        return true;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        if (selectionHasOwner(connection, "_NET_WM_CM_S" + QByteArray::number(screen)))
            return true;
    }
    return false;
}

} // namespace X11Compositing
