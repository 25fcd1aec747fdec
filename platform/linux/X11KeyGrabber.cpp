#include "platform/linux/X11KeyGrabber.h"

#include "core/platform/ShortcutModifiers.h"

#include <QScopeGuard>
#include <QSocketNotifier>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {
constexpr quint8 badAccess = 10;
constexpr int heldPollMilliseconds = 30;

// X keysyms of the keys and modifiers used here (X11/keysymdef.h).
enum : quint32 {
    xkF1 = 0xffbe,
    xkNumLock = 0xff7f,
    xkScrollLock = 0xff14,
    xkAltL = 0xffe9,
    xkAltR = 0xffea,
    xkMetaL = 0xffe7,
    xkMetaR = 0xffe8,
    xkSuperL = 0xffeb,
    xkSuperR = 0xffec,
};

// The keysym a Qt key stands for; 0 for keys without one here.
quint32 keysymForKey(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint32(key - Qt::Key_A + 'a');
    if ((key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) ||
        (key >= Qt::Key_nobreakspace && key <= Qt::Key_ydiaeresis))
        return quint32(key); // Latin-1 keysyms are their code points
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return xkF1 + quint32(key - Qt::Key_F1);
    struct Row {
        Qt::Key key;
        quint32 keysym;
    };
    static constexpr Row rows[] = {
        {Qt::Key_Escape, 0xff1b},    {Qt::Key_Tab, 0xff09},    {Qt::Key_Backtab, 0xfe20},
        {Qt::Key_Backspace, 0xff08}, {Qt::Key_Return, 0xff0d}, {Qt::Key_Enter, 0xff8d},
        {Qt::Key_Insert, 0xff63},    {Qt::Key_Delete, 0xffff}, {Qt::Key_Pause, 0xff13},
        {Qt::Key_Print, 0xff61},     {Qt::Key_Home, 0xff50},   {Qt::Key_End, 0xff57},
        {Qt::Key_Left, 0xff51},      {Qt::Key_Up, 0xff52},     {Qt::Key_Right, 0xff53},
        {Qt::Key_Down, 0xff54},      {Qt::Key_PageUp, 0xff55}, {Qt::Key_PageDown, 0xff56},
        {Qt::Key_Menu, 0xff67},
    };
    for (const Row& row : rows) {
        if (row.key == key)
            return row.keysym;
    }
    return 0;
}

// The Qt key of a keysym keyForKey knows; none for others (Cyrillic, Greek...).
std::optional<Qt::Key> keyForKeysym(quint32 keysym) {
    if (keysym >= 'a' && keysym <= 'z')
        return Qt::Key(Qt::Key_A + int(keysym - 'a'));
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
        // Qt names lower-case Latin-1 letters by their capitals, as keysymForKey reads them.
        return keysym >= 0xe0 && keysym <= 0xfe && keysym != 0xf7 ? Qt::Key(keysym - 0x20)
                                                                  : Qt::Key(keysym);
    if (keysym >= xkF1 && keysym < xkF1 + 35)
        return Qt::Key(Qt::Key_F1 + int(keysym - xkF1));
    return std::nullopt;
}

template <typename Reply> struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};
} // namespace

X11KeyGrabber::X11KeyGrabber(const QByteArray& display, QObject* parent)
    : QObject(parent) {
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_display = display;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    loadKeyboard();
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11KeyGrabber::readEvents);
    m_heldPoll.setInterval(heldPollMilliseconds);
    connect(&m_heldPoll, &QTimer::timeout, this, &X11KeyGrabber::pollHeldKey);
}

X11KeyGrabber::~X11KeyGrabber() {
    if (m_connection)
        xcb_disconnect(m_connection); // the server drops our grabs with us
}

void X11KeyGrabber::loadKeyboard() {
    // Read on a connection of its own: one that speaks XKB is no longer told
    // of new layouts by the core MappingNotify that readEvents follows.
    xcb_connection_t* reader =
        xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), nullptr);
    m_keyboard = X11KeyboardMap::read(xcb_connection_has_error(reader) ? nullptr : reader);
    xcb_disconnect(reader);

    // Which of Mod1..Mod5 carry Alt, Super, NumLock and ScrollLock on this keyboard.
    m_altMask = m_superMask = m_numLockMask = m_scrollLockMask = 0;
    const Freed<xcb_get_modifier_mapping_reply_t> modifiers{xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr)};
    if (modifiers) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers.reply);
        const int perModifier = modifiers->keycodes_per_modifier;
        for (int modifier = 3; modifier < 8; ++modifier) {
            const quint16 mask = quint16(1u << modifier);
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                for (const quint32 keysym : m_keyboard.keysyms(keycode)) {
                    if ((keysym == xkAltL || keysym == xkAltR || keysym == xkMetaL ||
                         keysym == xkMetaR) &&
                        !m_altMask)
                        m_altMask = mask;
                    else if ((keysym == xkSuperL || keysym == xkSuperR) && !m_superMask)
                        m_superMask = mask;
                    else if (keysym == xkNumLock)
                        m_numLockMask = mask;
                    else if (keysym == xkScrollLock)
                        m_scrollLockMask = mask;
                }
            }
        }
    }
    // The usual layout when the server does not say.
    if (!m_altMask)
        m_altMask = XCB_MOD_MASK_1;
    if (!m_superMask)
        m_superMask = XCB_MOD_MASK_4;
}

std::optional<QList<X11KeyGrabber::KeyGrab>>
X11KeyGrabber::keyGrabs(const Shortcut& shortcut) const {
    const quint32 keysym = keysymForKey(shortcut.key);
    if (keysym == 0 || m_keyboard.isEmpty())
        return std::nullopt;
    quint16 modifiers = 0;
    if (shortcut.modifiers.testFlag(ShortcutModifiers::shift))
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (shortcut.modifiers.testFlag(ShortcutModifiers::control))
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (shortcut.modifiers.testFlag(ShortcutModifiers::option))
        modifiers |= m_altMask;
    if (shortcut.modifiers.testFlag(ShortcutModifiers::command))
        modifiers |= m_superMask;
    QList<KeyGrab> grabs;
    // Unshifted and shifted levels: "E" and "!" are found on their keys. The
    // lowest group that has the key decides: in "ru,us" Latin letters are in
    // the second, and the same keys are pressed whichever group is active.
    for (int group = 0; group < X11KeyboardMap::maxGroups && grabs.isEmpty(); ++group) {
        for (int keycode = m_keyboard.minKeycode(); keycode <= m_keyboard.maxKeycode(); ++keycode) {
            if (m_keyboard.keysym(quint8(keycode), group, 0) == keysym ||
                m_keyboard.keysym(quint8(keycode), group, 1) == keysym)
                grabs.append({quint8(keycode), modifiers});
        }
    }
    if (grabs.isEmpty())
        return std::nullopt;
    return grabs;
}

std::optional<Qt::Key> X11KeyGrabber::keyOnKeycode(quint32 keycode) const {
    if (keycode > 0xff)
        return std::nullopt;
    for (int group = 0; group < X11KeyboardMap::maxGroups; ++group) {
        if (const std::optional<Qt::Key> key =
                keyForKeysym(m_keyboard.keysym(quint8(keycode), group, 0)))
            return key;
    }
    return std::nullopt;
}

QList<quint16> X11KeyGrabber::lockVariants() const {
    QList<quint16> variants{0};
    for (const quint16 lock : {quint16(XCB_MOD_MASK_LOCK), m_numLockMask, m_scrollLockMask}) {
        if (!lock)
            continue;
        for (qsizetype i = 0, n = variants.size(); i < n; ++i)
            variants.append(variants[i] | lock);
    }
    return variants;
}

bool X11KeyGrabber::canRepresent(const Shortcut& shortcut) const {
    return isConnected() && keyGrabs(shortcut).has_value();
}

bool X11KeyGrabber::grabKey(const KeyGrab& key) {
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 lock : lockVariants()) {
        cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, key.modifiers | lock,
                                            key.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            refused = refused || error->error_code == badAccess;
            std::free(error);
        }
    }
    if (refused)
        ungrabKey(key);
    return !refused;
}

void X11KeyGrabber::ungrabKey(const KeyGrab& key) {
    for (const quint16 lock : lockVariants())
        xcb_ungrab_key(m_connection, key.keycode, m_root, key.modifiers | lock);
    xcb_flush(m_connection);
}

bool X11KeyGrabber::isGrabbedByUs(const KeyGrab& key) const {
    for (const Shortcut& shortcut : m_grabbed) {
        if (const auto grabs = keyGrabs(shortcut); grabs && grabs->contains(key))
            return true;
    }
    return false;
}

X11KeyGrabber::Result X11KeyGrabber::grab(const Shortcut& shortcut) {
    if (!m_connection)
        return Result::noDisplay;
    const auto grabs = keyGrabs(shortcut);
    if (!grabs)
        return Result::unknownKey;
    QList<KeyGrab> taken;
    for (const KeyGrab& key : *grabs) {
        if (isGrabbedByUs(key)) {
            continue;
        }
        if (!grabKey(key)) {
            for (const KeyGrab& done : std::as_const(taken))
                ungrabKey(done);
            sync();
            return Result::heldByAnotherProgram;
        }
        taken.append(key);
    }
    m_grabbed.append(shortcut);
    sync();
    return Result::grabbed;
}

void X11KeyGrabber::ungrab(const Shortcut& shortcut) {
    if (!m_connection || !m_grabbed.removeOne(shortcut))
        return;
    if (const auto grabs = keyGrabs(shortcut)) {
        for (const KeyGrab& key : *grabs) {
            if (!isGrabbedByUs(key))
                ungrabKey(key);
        }
    }
    sync();
}

bool X11KeyGrabber::isHeldByAnotherProgram(const Shortcut& shortcut) {
    if (!m_connection || m_grabbed.contains(shortcut))
        return false;
    const auto grabs = keyGrabs(shortcut);
    if (!grabs)
        return false;
    bool held = false;
    for (const KeyGrab& key : *grabs) {
        if (isGrabbedByUs(key))
            continue;
        if (!grabKey(key)) {
            held = true;
            break;
        }
        ungrabKey(key);
    }
    sync();
    return held;
}

void X11KeyGrabber::sync() {
    // A round trip: every request is done, and events read meanwhile are handled.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    QMetaObject::invokeMethod(this, &X11KeyGrabber::readEvents, Qt::QueuedConnection);
}

void X11KeyGrabber::readEvents() {
    if (!m_connection)
        return;
    if (xcb_connection_has_error(m_connection)) {
        // The server went away; its socket would stay readable for ever.
        if (m_notifier && m_notifier->isEnabled()) {
            m_notifier->setEnabled(false);
            qWarning("Corvanta: the X connection was lost; rule hotkeys stop working");
        }
        return;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const quint8 type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS) {
            keyPressed(*reinterpret_cast<const xcb_key_press_event_t*>(event));
        } else if (type == XCB_MAPPING_NOTIFY) {
            // Another layout: the same combinations sit on other keys now.
            const QList<Shortcut> grabbed = m_grabbed;
            for (const Shortcut& shortcut : grabbed)
                ungrab(shortcut);
            loadKeyboard();
            for (const Shortcut& shortcut : grabbed)
                grab(shortcut);
            Q_EMIT keyboardChanged();
        }
        std::free(event);
    }
}

void X11KeyGrabber::keyPressed(const xcb_key_press_event_t& event) {
    // Free the keyboard at once: what the handler does next (asking the file
    // manager for its selection) needs the keys to reach the focused window.
    xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    if (m_heldKeycode == event.detail)
        return; // the key was not released since it fired: an auto-repeat
    const quint16 relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | m_altMask | m_superMask;
    const KeyGrab pressedKey{event.detail, quint16(event.state & relevant)};
    for (const Shortcut& shortcut : std::as_const(m_grabbed)) {
        if (const auto grabs = keyGrabs(shortcut); grabs && grabs->contains(pressedKey)) {
            m_heldKeycode = event.detail;
            m_heldPoll.start();
            Q_EMIT pressed(shortcut);
            return;
        }
    }
}

void X11KeyGrabber::pollHeldKey() {
    if (!m_heldKeycode || !m_connection) {
        m_heldPoll.stop();
        return;
    }
    const Freed<xcb_query_keymap_reply_t> keymap{
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr)};
    const quint8 keycode = *m_heldKeycode;
    if (!keymap || !(keymap->keys[keycode / 8] & (1u << (keycode % 8)))) {
        m_heldKeycode.reset();
        m_heldPoll.stop();
    }
}
