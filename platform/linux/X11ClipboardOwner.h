#pragma once

#include "platform/linux/XcbConnection.h"

#include <QByteArray>
#include <QList>

// Holds the CLIPBOARD on a window of our own connection with contents saved
// from its previous owner, and answers for them (TARGETS, TIMESTAMP, MULTIPLE
// and each format) until another program takes the clipboard.
class X11ClipboardOwner {
public:
    struct Format {
        xcb_atom_t target = XCB_NONE;
        xcb_atom_t type = XCB_NONE;
        uint8_t format = 8;
        QByteArray data;
    };

    X11ClipboardOwner(XcbConnection& x, xcb_window_t window)
        : m_x(x)
        , m_window(window) {}

    // Owns the clipboard with `formats` from `time` on; false when the server
    // kept another owner (a newer copy).
    bool take(QList<Format> formats, xcb_timestamp_t time);
    // Stops answering, without a word to the server.
    void forget();
    bool serving() const { return m_serving; }
    const QList<Format>& formats() const { return m_formats; }
    // Answers a request for the clipboard or notes its loss; true when
    // `event` was one of those.
    bool handle(const xcb_generic_event_t* event);

private:
    void answer(const xcb_selection_request_event_t& request);
    // Puts `target` of the held contents on the requestor's property.
    bool writeTarget(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t target);

    XcbConnection& m_x;
    xcb_window_t m_window;
    bool m_serving = false;
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    QList<Format> m_formats;
};
