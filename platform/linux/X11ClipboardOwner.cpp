#include "platform/linux/X11ClipboardOwner.h"

bool X11ClipboardOwner::take(QList<Format> formats, xcb_timestamp_t time) {
    xcb_connection_t* c = m_x.get();
    const xcb_atom_t clipboard = m_x.atom("CLIPBOARD");
    m_formats = std::move(formats);
    m_ownedSince = time;
    xcb_set_selection_owner(c, m_window, clipboard, time);
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    m_serving = owner && owner->owner == m_window;
    if (!m_serving)
        m_formats.clear();
    return m_serving;
}

void X11ClipboardOwner::forget() {
    m_serving = false;
    m_formats.clear();
}

bool X11ClipboardOwner::handle(const xcb_generic_event_t* event) {
    const xcb_atom_t clipboard = m_x.atom("CLIPBOARD");
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST: {
        const auto* request = reinterpret_cast<const xcb_selection_request_event_t*>(event);
        if (request->owner != m_window)
            return false;
        answer(*request);
        return true;
    }
    case XCB_SELECTION_CLEAR: {
        const auto* clear = reinterpret_cast<const xcb_selection_clear_event_t*>(event);
        if (clear->owner != m_window || clear->selection != clipboard)
            return false;
        // A clear from before the clipboard was taken back says nothing.
        xcb_connection_t* c = m_x.get();
        const XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
        if (!owner || owner->owner != m_window)
            forget();
        return true;
    }
    default:
        return false;
    }
}

bool X11ClipboardOwner::writeTarget(xcb_window_t requestor, xcb_atom_t property,
                                    xcb_atom_t target) {
    xcb_connection_t* c = m_x.get();
    if (target == m_x.atom("TARGETS")) {
        QList<xcb_atom_t> targets{m_x.atom("TARGETS"), m_x.atom("TIMESTAMP"), m_x.atom("MULTIPLE")};
        for (const Format& format : std::as_const(m_formats))
            targets.append(format.target);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                            uint32_t(targets.size()), targets.constData());
        return true;
    }
    if (target == m_x.atom("TIMESTAMP")) {
        const uint32_t time = m_ownedSince;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &time);
        return true;
    }
    const qsizetype limit = qsizetype(xcb_get_maximum_request_length(c)) * 4 - 64;
    for (const Format& format : std::as_const(m_formats)) {
        if (format.target != target || format.data.size() > limit)
            continue;
        const uint32_t units = uint32_t(format.data.size() / (format.format / 8));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, format.type,
                            format.format, units, format.data.constData());
        return true;
    }
    return false;
}

void X11ClipboardOwner::answer(const xcb_selection_request_event_t& request) {
    xcb_connection_t* c = m_x.get();
    // Clients older than ICCCM 2 name no property: the target stands in.
    const xcb_atom_t property = request.property == XCB_NONE ? request.target : request.property;
    bool answered = false;
    if (m_serving && request.selection == m_x.atom("CLIPBOARD")) {
        if (request.target != m_x.atom("MULTIPLE")) {
            answered = writeTarget(request.requestor, property, request.target);
        } else if (std::optional<XcbConnection::Property> pairs =
                       m_x.property(request.requestor, property);
                   pairs && pairs->format == 32) {
            // (target, property) pairs; a pair not served gets None as its property.
            auto* atoms = reinterpret_cast<xcb_atom_t*>(pairs->data.data());
            for (qsizetype i = 0; i + 1 < pairs->data.size() / 4; i += 2) {
                if (!writeTarget(request.requestor, atoms[i + 1], atoms[i]))
                    atoms[i + 1] = XCB_NONE;
            }
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, pairs->type,
                                32, uint32_t(pairs->data.size() / 4), pairs->data.constData());
            answered = true;
        }
    }
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = answered ? property : XCB_NONE;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(c);
}
