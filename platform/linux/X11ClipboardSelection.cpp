#include "platform/linux/X11ClipboardSelection.h"
#include "platform/linux/QtX11Connection.h"

#include "core/model/LocalFileURL.h"
#include "platform/linux/GLibPointers.h"

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSocketNotifier>
#include <cstring>
#include <poll.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xfixes.h>
#include <xcb/xtest.h>

namespace {
constexpr xcb_keysym_t controlKeysym = 0xffe3; // Control_L
constexpr xcb_keysym_t cKeysym = 0x0063;       // c

// The file-list targets in the order they are trusted.
constexpr const char* fileListTargets[] = {"text/uri-list", "x-special/gnome-copied-files",
                                           "application/x-kde4-urilist"};

// Conversions that name no data of their own: they are answered anew.
bool isMetaTarget(const QByteArray& name) {
    static const char* const names[] = {"TARGETS",         "MULTIPLE",         "TIMESTAMP",
                                        "SAVE_TARGETS",    "DELETE",           "INSERT_SELECTION",
                                        "INSERT_PROPERTY", "_GTK_SELECTION_ID"};
    for (const char* meta : names) {
        if (name == meta)
            return true;
    }
    return false;
}

uint8_t eventType(const xcb_generic_event_t* event) {
    return event->response_type & 0x7f;
}
} // namespace

X11ClipboardSelection::X11ClipboardSelection(int ownerChangeTimeoutMs, int formatTimeoutMs,
                                             int lateCopyWatchMs)
    : m_timeoutMs(ownerChangeTimeoutMs)
    , m_formatTimeoutMs(formatTimeoutMs)
    , m_lateCopyWatchMs(lateCopyWatchMs) {}

X11ClipboardSelection::~X11ClipboardSelection() {
    m_notifier.reset();
    if (m_owner && m_owner->serving())
        handToClipboardManager(QDeadlineTimer(2000));
    if (m_x && m_window != XCB_NONE) {
        xcb_destroy_window(m_x->get(), m_window);
        xcb_flush(m_x->get());
    }
}

bool X11ClipboardSelection::ensureConnection() {
    if (m_x)
        return m_usable;
    m_x = XcbConnection::open();
    if (!m_x)
        return false;
    xcb_connection_t* c = m_x->get();
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
    if (!xfixes || !xfixes->present || !xtest || !xtest->present)
        return false;
    // XFIXES answers nothing before its version is asked.
    XcbReply<xcb_xfixes_query_version_reply_t>(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    m_xfixesEvent = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;

    m_window = xcb_generate_id(c);
    const uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, m_x->root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_xfixes_select_selection_input(c, m_window, m_x->atom("CLIPBOARD"),
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
    m_owner = std::make_unique<X11ClipboardOwner>(*m_x, m_window);
    if (QCoreApplication::instance()) {
        // Requests for the restored clipboard arrive while the tray app waits
        // in its event loop.
        m_notifier =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { drainEvents(); });
    }
    m_usable = true;
    return true;
}

uint32_t X11ClipboardSelection::clientOf(xcb_window_t window) const {
    // Every client's resources share the bits outside the server's id mask.
    return window & ~xcb_get_setup(m_x->get())->resource_id_mask;
}

std::optional<xcb_window_t> X11ClipboardSelection::activeWindow() {
    const std::optional<uint32_t> window =
        m_x->cardinal(m_x->root(), m_x->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (!window || *window == XCB_NONE)
        return std::nullopt;
    return *window;
}

bool X11ClipboardSelection::focusInside(xcb_window_t window) {
    xcb_connection_t* c = m_x->get();
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // PointerRoot would hand the keys to whatever lies under the pointer.
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
        return false;
    // Toolkits focus a child or proxy window of their own top level.
    return activeWindow() == window && clientOf(focus->focus) == clientOf(window);
}

void X11ClipboardSelection::watchLateCopy(const xcb_xfixes_selection_notify_event_t& notify) {
    if (!m_late.active || notify.owner == XCB_NONE || notify.owner == m_window)
        return;
    m_late.active = false;
    if (m_late.until.hasExpired() || clientOf(notify.owner) != m_late.client)
        return;
    restore(m_late.hadOwner, std::move(m_late.saved), notify.timestamp);
    xcb_flush(m_x->get());
}

void X11ClipboardSelection::drainEvents() {
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_x->get())})
        handleOwnership(event.get());
}

bool X11ClipboardSelection::handleOwnership(xcb_generic_event_t* event) {
    if (m_owner->handle(event))
        return true;
    if (eventType(event) == m_xfixesEvent && m_late.active) {
        const auto* notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(event);
        if (notify->selection == m_x->atom("CLIPBOARD"))
            watchLateCopy(*notify);
    }
    return false;
}

XcbReply<xcb_generic_event_t>
X11ClipboardSelection::waitFor(const std::function<bool(xcb_generic_event_t*)>& wanted,
                               QDeadlineTimer deadline) {
    xcb_connection_t* c = m_x->get();
    for (;;) {
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
            if (handleOwnership(event.get()))
                continue;
            if (wanted && wanted(event.get()))
                return event;
        }
        if (xcb_connection_has_error(c) || deadline.hasExpired())
            return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        const qint64 remaining = deadline.remainingTime();
        ::poll(&descriptor, 1, remaining < 0 ? -1 : int(qMin<qint64>(remaining, 1000)));
    }
}

std::optional<XcbConnection::Property>
X11ClipboardSelection::convert(xcb_atom_t target, int timeoutMs, bool* timedOut) {
    xcb_connection_t* c = m_x->get();
    QDeadlineTimer deadline(timeoutMs);
    if (timedOut)
        *timedOut = false;
    const xcb_atom_t property = m_x->atom("_CORVANTA_CLIPBOARD");
    const xcb_atom_t clipboard = m_x->atom("CLIPBOARD");
    // The event `matches` accepts; none, told through `timedOut`, when the deadline passed.
    const auto await = [&](auto matches) {
        XcbReply<xcb_generic_event_t> event = waitFor(matches, deadline);
        if (!event && timedOut)
            *timedOut = true;
        return event;
    };
    xcb_delete_property(c, m_window, property);
    xcb_convert_selection(c, m_window, clipboard, target, property, XCB_CURRENT_TIME);
    xcb_flush(c);
    const XcbReply<xcb_generic_event_t> event = await([&](xcb_generic_event_t* e) {
        if (eventType(e) != XCB_SELECTION_NOTIFY)
            return false;
        const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(e);
        return notify->requestor == m_window && notify->selection == clipboard &&
               notify->target == target;
    });
    if (!event)
        return std::nullopt;
    if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_NONE)
        return std::nullopt;
    std::optional<XcbConnection::Property> value = m_x->property(m_window, property, true);
    if (!value || value->type != m_x->atom("INCR"))
        return value;
    // Large values come in chunks, each announced by a new property value;
    // the zero-length chunk ends the transfer.
    XcbConnection::Property whole;
    xcb_flush(c);
    for (;;) {
        // Each chunk has the whole bound: a large value is slow, not stuck.
        deadline.setRemainingTime(timeoutMs);
        const XcbReply<xcb_generic_event_t> chunk = await([&](xcb_generic_event_t* e) {
            if (eventType(e) != XCB_PROPERTY_NOTIFY)
                return false;
            const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(e);
            return changed->window == m_window && changed->atom == property &&
                   changed->state == XCB_PROPERTY_NEW_VALUE;
        });
        if (!chunk)
            return std::nullopt;
        const std::optional<XcbConnection::Property> part = m_x->property(m_window, property, true);
        xcb_flush(c);
        if (!part)
            return std::nullopt;
        if (part->data.isEmpty())
            return whole;
        whole.type = part->type;
        whole.format = part->format;
        whole.data += part->data;
    }
}

std::optional<QList<X11ClipboardOwner::Format>>
X11ClipboardSelection::saveClipboard(bool& hadOwner) {
    xcb_connection_t* c = m_x->get();
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, m_x->atom("CLIPBOARD")), nullptr));
    hadOwner = owner && owner->owner != XCB_NONE;
    if (!hadOwner)
        return QList<Format>();
    if (owner->owner == m_window)
        return m_owner->formats();
    if (xcb_connection_t* qt = qtX11Connection();
        qt && clientOf(owner->owner) == xcb_get_setup(qt)->resource_id_base)
        return ownQtClipboard();
    bool timedOut = false;
    const std::optional<XcbConnection::Property> targets =
        convert(m_x->atom("TARGETS"), m_formatTimeoutMs, &timedOut);
    if (!targets || targets->format != 32)
        return std::nullopt;
    QList<xcb_atom_t> atoms(targets->data.size() / 4);
    std::memcpy(atoms.data(), targets->data.constData(), size_t(atoms.size()) * 4);
    QList<Format> saved;
    for (const xcb_atom_t target : std::as_const(atoms)) {
        const XcbReply<xcb_get_atom_name_reply_t> name(
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, target), nullptr));
        if (!name)
            continue;
        const QByteArray text(xcb_get_atom_name_name(name.get()),
                              xcb_get_atom_name_name_length(name.get()));
        if (isMetaTarget(text) || target == XCB_NONE)
            continue;
        std::optional<XcbConnection::Property> value =
            convert(target, m_formatTimeoutMs, &timedOut);
        // A refused format is no loss (GTK offers icon types it never
        // renders); one that got no answer would be.
        if (timedOut)
            return std::nullopt;
        if (value && (value->format == 8 || value->format == 16 || value->format == 32))
            saved.append(Format{target, value->type, value->format, std::move(value->data)});
    }
    return saved;
}

QList<X11ClipboardOwner::Format> X11ClipboardSelection::ownQtClipboard() {
    QList<Format> saved;
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QMimeData* data = gui ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data)
        return saved;
    const auto add = [&](const char* target, const char* type, const QByteArray& bytes) {
        saved.append(Format{m_x->atom(target), m_x->atom(type), 8, bytes});
    };
    // The names Qt's own X11 clipboard offers for its formats.
    for (const QString& format : data->formats()) {
        if (format == QLatin1String("application/x-qt-image"))
            continue;
        const QByteArray name = format.toUtf8();
        const QByteArray bytes = data->data(format);
        add(name.constData(), name.constData(), bytes);
        if (format == QLatin1String("text/plain")) {
            add("UTF8_STRING", "UTF8_STRING", bytes);
            add("text/plain;charset=utf-8", "text/plain;charset=utf-8", bytes);
        }
    }
    if (data->hasImage() && !data->hasFormat(QStringLiteral("image/png"))) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (qvariant_cast<QImage>(data->imageData()).save(&buffer, "PNG"))
            add("image/png", "image/png", png);
    }
    return saved;
}

void X11ClipboardSelection::releaseHeldKeys() {
    xcb_connection_t* c = m_x->get();
    // Releasing the hotkey's keys ends its grab (a passive grab lasts while
    // its key is down) and keeps its modifiers out of the copy keys.
    const XcbReply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
    if (keymap) {
        for (int code = 8; code < 256; ++code) {
            if (keymap->keys[code / 8] & (1 << (code % 8)))
                xcb_test_fake_input(c, XCB_KEY_RELEASE, uint8_t(code), XCB_CURRENT_TIME, XCB_NONE,
                                    0, 0, 0);
        }
    }
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    // The hotkeys may be grabbed on Qt's own connection.
    if (xcb_connection_t* qt = qtX11Connection()) {
        xcb_ungrab_keyboard(qt, XCB_CURRENT_TIME);
        xcb_flush(qt);
    }
}

bool X11ClipboardSelection::sendCopyKeys() {
    xcb_connection_t* c = m_x->get();
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    if (!symbols)
        return false;
    xcb_keycode_t* control = xcb_key_symbols_get_keycode(symbols, controlKeysym);
    xcb_keycode_t* letter = xcb_key_symbols_get_keycode(symbols, cKeysym);
    const bool found = control && letter && *control && *letter;
    if (found) {
        xcb_test_fake_input(c, XCB_KEY_PRESS, *control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_PRESS, *letter, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *letter, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
    }
    std::free(control);
    std::free(letter);
    xcb_key_symbols_free(symbols);
    return found;
}

void X11ClipboardSelection::restore(bool hadOwner, QList<Format> saved, xcb_timestamp_t time) {
    xcb_connection_t* c = m_x->get();
    const xcb_atom_t clipboard = m_x->atom("CLIPBOARD");
    if (!hadOwner) {
        // Any client may clear a selection; the file manager is told it lost it.
        xcb_set_selection_owner(c, XCB_NONE, clipboard, time);
        xcb_flush(c);
        return;
    }
    m_owner->take(std::move(saved), time);
}

QList<QUrl> X11ClipboardSelection::copySelection(const ScriptableFileManager& manager) {
    Q_UNUSED(manager);
    m_timings = {};
    if (!ensureConnection())
        return {};
    QElapsedTimer clock;
    clock.start();
    xcb_connection_t* c = m_x->get();
    const xcb_atom_t clipboard = m_x->atom("CLIPBOARD");
    // The window the file manager table matched a moment ago.
    const std::optional<xcb_window_t> target = activeWindow();
    if (!target)
        return {};
    // A new step supersedes an earlier late copy still watched for.
    m_late.active = false;

    bool hadOwner = false;
    std::optional<QList<Format>> saved = saveClipboard(hadOwner);
    m_timings.saved = clock.nsecsElapsed() / 1000;
    // What cannot be given back is not taken.
    if (!saved)
        return {};

    // Owner changes from before the keys say nothing about the copy.
    waitFor({}, QDeadlineTimer(0));
    releaseHeldKeys();
    if (!focusInside(*target) || !sendCopyKeys())
        return {};
    m_timings.keysSent = clock.nsecsElapsed() / 1000;

    const XcbReply<xcb_generic_event_t> changed = waitFor(
        [&](xcb_generic_event_t* e) {
            if (eventType(e) != m_xfixesEvent)
                return false;
            const auto* notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(e);
            return notify->selection == clipboard && notify->owner != XCB_NONE &&
                   notify->owner != m_window;
        },
        QDeadlineTimer(m_timeoutMs));
    m_timings.ownerChanged = clock.nsecsElapsed() / 1000;
    if (!changed) {
        // Nothing was copied yet (nothing selected, or a slow window): a
        // copy that still lands is undone when it does.
        m_late = {QDeadlineTimer(m_lateCopyWatchMs), clientOf(*target), true, hadOwner,
                  std::move(*saved)};
        return {};
    }
    const auto* notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(changed.get());
    // Another program's copy is the user's newest: neither read nor replaced.
    if (clientOf(notify->owner) != clientOf(*target))
        return {};
    const xcb_timestamp_t changedAt = notify->timestamp;

    QList<QByteArray> paths;
    for (const char* name : fileListTargets) {
        const std::optional<XcbConnection::Property> value =
            convert(m_x->atom(name), m_formatTimeoutMs);
        if (!value || value->format != 8)
            continue;
        paths = pathsFromURIList(value->data, qstrcmp(name, "x-special/gnome-copied-files") == 0);
        break;
    }
    m_timings.read = clock.nsecsElapsed() / 1000;

    restore(hadOwner, std::move(*saved), changedAt);
    xcb_flush(c);
    m_timings.restored = clock.nsecsElapsed() / 1000;

    QList<QUrl> urls;
    for (const QByteArray& path : std::as_const(paths))
        urls.append(LocalFileURL::fromNativePath(path));
    return urls;
}

QList<QUrl> X11ClipboardSelection::aroundHelper(const std::function<QList<QUrl>()>& helper) {
    if (!ensureConnection())
        return helper();
    const std::optional<xcb_window_t> target = activeWindow();
    m_late.active = false;
    bool hadOwner = false;
    std::optional<QList<Format>> saved = saveClipboard(hadOwner);
    if (!target || !saved)
        return {};
    xcb_connection_t* c = m_x->get();
    const xcb_atom_t clipboard = m_x->atom("CLIPBOARD");
    xcb_set_selection_owner(c, XCB_NONE, clipboard, XCB_CURRENT_TIME);
    m_owner->forget();
    xcb_flush(c);
    const QList<QUrl> urls = helper();
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    const xcb_window_t now = owner ? owner->owner : XCB_NONE;
    // Another program's copy meanwhile is the user's newest.
    if (now == XCB_NONE || clientOf(now) == clientOf(*target))
        restore(hadOwner, std::move(*saved), XCB_CURRENT_TIME);
    xcb_flush(c);
    return urls;
}

bool X11ClipboardSelection::handToClipboardManager(QDeadlineTimer deadline) {
    if (!m_x || !m_owner->serving())
        return false;
    xcb_connection_t* c = m_x->get();
    const xcb_atom_t manager = m_x->atom("CLIPBOARD_MANAGER");
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, manager), nullptr));
    if (!owner || owner->owner == XCB_NONE)
        return false;
    // The manager reads every target from us, then answers on SAVE_TARGETS.
    const xcb_atom_t saveTargets = m_x->atom("SAVE_TARGETS");
    xcb_convert_selection(c, m_window, manager, saveTargets, m_x->atom("_CORVANTA_SAVED"),
                          XCB_CURRENT_TIME);
    xcb_flush(c);
    const XcbReply<xcb_generic_event_t> done = waitFor(
        [&](xcb_generic_event_t* e) {
            const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(e);
            return eventType(e) == XCB_SELECTION_NOTIFY && notify->selection == manager &&
                   notify->target == saveTargets;
        },
        deadline);
    return done &&
           reinterpret_cast<xcb_selection_notify_event_t*>(done.get())->property != XCB_NONE;
}

void X11ClipboardSelection::abandonConnection() {
    m_notifier.reset();
    m_owner.reset();
    // Deliberately not disconnected: the child holds the same connection.
    (void)m_x.release();
    m_late = {};
}

void X11ClipboardSelection::serveClipboard(QDeadlineTimer deadline) {
    if (!m_x)
        return;
    // Short rounds, so that losing the clipboard ends the wait soon.
    while (servesClipboard() && !deadline.hasExpired() && !xcb_connection_has_error(m_x->get())) {
        const qint64 remaining = deadline.remainingTime();
        waitFor({}, QDeadlineTimer(remaining < 0 ? 200 : qMin<qint64>(remaining, 200)));
    }
}

QList<QByteArray> X11ClipboardSelection::pathsFromURIList(const QByteArray& data,
                                                          bool gnomeCopiedFiles) {
    QList<QByteArray> paths;
    QList<QByteArray> lines = data.split('\n');
    if (gnomeCopiedFiles && !lines.isEmpty())
        lines.removeFirst(); // "copy" or "cut"
    for (QByteArray line : std::as_const(lines)) {
        if (line.endsWith('\r'))
            line.chop(1);
        // A list may end in a NUL; no URI holds one.
        if (const qsizetype nul = line.indexOf('\0'); nul >= 0)
            line.truncate(nul);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // Keeps raw bytes: a name that is not UTF-8 arrives percent-encoded.
        GCharPtr path(g_filename_from_uri(line.constData(), nullptr, nullptr));
        if (path)
            paths.append(QByteArray(path.get()));
    }
    return paths;
}
