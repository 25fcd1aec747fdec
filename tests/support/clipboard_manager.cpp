// A clipboard manager that keeps only what an owner hands it through
// SAVE_TARGETS (the CLIPBOARD_MANAGER protocol), then serves it as the
// clipboard until killed; it never takes the clipboard on its own.
#include "platform/linux/XcbConnection.h"

#include <QList>
#include <cstdio>
#include <cstring>

int main() {
    std::unique_ptr<XcbConnection> x = XcbConnection::open();
    if (!x)
        return 2;
    xcb_connection_t* c = x->get();
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, x->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t clipboard = x->atom("CLIPBOARD"), targets = x->atom("TARGETS");
    const xcb_atom_t manager = x->atom("CLIPBOARD_MANAGER"), kept = x->atom("_KEPT");
    xcb_set_selection_owner(c, window, manager, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::puts("ready");
    std::fflush(stdout);
    QList<std::pair<xcb_atom_t, XcbConnection::Property>> saved;
    QList<xcb_atom_t> pending;
    xcb_selection_request_event_t asked{};
    const auto answer = [&](const xcb_selection_request_event_t& request, bool done) {
        xcb_selection_notify_event_t event{XCB_SELECTION_NOTIFY,
                                           0,
                                           0,
                                           request.time,
                                           request.requestor,
                                           request.selection,
                                           request.target,
                                           done ? request.property : xcb_atom_t(XCB_NONE)};
        xcb_send_event(c, 0, request.requestor, 0, reinterpret_cast<const char*>(&event));
    };
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
            const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            bool served = false;
            if (request.selection == manager && request.target == x->atom("SAVE_TARGETS")) {
                asked = request; // answered once every target is kept
                xcb_convert_selection(c, window, clipboard, targets, kept, request.time);
            } else {
                for (const auto& [target, value] : std::as_const(saved)) {
                    if (target != request.target)
                        continue;
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor,
                                        request.property, value.type, value.format,
                                        uint32_t(value.data.size() * 8 / value.format),
                                        value.data.constData());
                    served = true;
                }
                answer(request, served);
            }
        } else if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
            const auto& notify = *reinterpret_cast<xcb_selection_notify_event_t*>(event);
            const std::optional<XcbConnection::Property> value = x->property(window, kept, true);
            if (notify.target == targets && value) {
                pending.resize(value->data.size() / 4);
                std::memcpy(pending.data(), value->data.constData(), size_t(pending.size()) * 4);
                for (const char* meta : {"TARGETS", "MULTIPLE", "TIMESTAMP"})
                    pending.removeAll(x->atom(meta));
            } else if (value) {
                saved.append({notify.target, *value});
            }
            if (!pending.isEmpty()) {
                xcb_convert_selection(c, window, clipboard, pending.takeFirst(), kept,
                                      XCB_CURRENT_TIME);
            } else {
                xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
                answer(asked, true);
            }
        }
        xcb_flush(c);
        std::free(event);
    }
    return 0;
}
