#pragma once

#include <QList>
#include <QtGlobal>

struct xcb_connection_t;

// The keysyms on the keyboard's keys by group and level: every group XKB holds
// (up to four), or the two groups the core mapping lists where the server has
// no XKB.
class X11KeyboardMap {
public:
    static constexpr int maxGroups = 4;

    // The server's whole keyboard, or only `keycode` when one is given.
    static X11KeyboardMap read(xcb_connection_t* connection, quint8 keycode = 0);

    bool isEmpty() const { return m_keys.isEmpty(); }
    quint8 minKeycode() const { return m_minKeycode; }
    quint8 maxKeycode() const { return quint8(m_minKeycode + m_keys.size() - 1); }
    // The keysym at `level` (0 unshifted, 1 shifted) of `group` on `keycode`; 0 for none.
    quint32 keysym(quint8 keycode, int group, int level) const;
    // Every keysym on `keycode`, whatever its group and level.
    QList<quint32> keysyms(quint8 keycode) const;

private:
    struct Key {
        int groups = 0;
        int width = 0; // levels per group
        QList<quint32> keysyms;
    };
    static X11KeyboardMap readXkb(xcb_connection_t* connection, quint8 first, quint8 count);
    static X11KeyboardMap readCore(xcb_connection_t* connection, quint8 first, quint8 count);
    const Key* key(quint8 keycode) const;

    quint8 m_minKeycode = 0;
    QList<Key> m_keys;
};

// The digit 1 to 9 that the key `keycode` types, unshifted or shifted (French
// keyboards type digits with Shift), in the group that `state` (an X event's)
// names or else the lowest group that has one; 0 for none. Asks Qt's X
// connection, so that keys of Qt's own key events are read in its keyboard.
int digitOnKey(quint32 keycode, quint32 state);
