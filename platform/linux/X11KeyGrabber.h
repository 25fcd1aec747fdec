#pragma once

#include "core/platform/Shortcut.h"
#include "platform/linux/X11KeyboardMap.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <optional>

class QSocketNotifier;
struct xcb_connection_t;
struct xcb_key_press_event_t;

// Passive key grabs on the root window over its own X connection, handled on
// the thread that created it. Every combination is grabbed with each state of
// NumLock, CapsLock and ScrollLock, so a lit lock never hides a hotkey, on the
// keys of the lowest keyboard group that has its key.
class X11KeyGrabber : public QObject {
    Q_OBJECT
public:
    enum class Result { grabbed, heldByAnotherProgram, unknownKey, noDisplay };

    // Connects to the display named by `display` ($DISPLAY when none).
    explicit X11KeyGrabber(const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11KeyGrabber() override;

    bool isConnected() const { return m_connection != nullptr; }

    // Grabs `shortcut`; a grab another client holds is refused as a whole.
    Result grab(const Shortcut& shortcut);
    void ungrab(const Shortcut& shortcut);
    // Grabs and releases at once: whether another client holds the combination.
    // A combination this grabber holds is not held by another program.
    bool isHeldByAnotherProgram(const Shortcut& shortcut);
    bool canRepresent(const Shortcut& shortcut) const;
    // Whether this grabber holds `shortcut` now.
    bool holds(const Shortcut& shortcut) const { return m_grabbed.contains(shortcut); }
    // The key a recorder should take for `keycode`: its unshifted keysym in the
    // lowest group that has one a shortcut can use (Latin in "ru,us").
    std::optional<Qt::Key> keyOnKeycode(quint32 keycode) const;

Q_SIGNALS:
    // A grabbed combination was pressed (not an auto-repeat of a held key).
    void pressed(const Shortcut& shortcut);
    // Another keyboard mapping (a layout switched with setxkbmap, the desktop's
    // settings): what was held is grabbed again where it can be; keys that had no
    // key before may have one now.
    void keyboardChanged();

private:
    struct KeyGrab {
        quint8 keycode;
        quint16 modifiers;
        bool operator==(const KeyGrab&) const = default;
    };

    void loadKeyboard();
    std::optional<QList<KeyGrab>> keyGrabs(const Shortcut& shortcut) const;
    QList<quint16> lockVariants() const;
    // Grabs one key with every lock variant; false when the server refused.
    bool grabKey(const KeyGrab& key);
    void ungrabKey(const KeyGrab& key);
    bool isGrabbedByUs(const KeyGrab& key) const;
    void readEvents();
    void keyPressed(const xcb_key_press_event_t& event);
    void pollHeldKey();
    void sync();

    xcb_connection_t* m_connection = nullptr;
    QByteArray m_display;
    quint32 m_root = 0;
    QSocketNotifier* m_notifier = nullptr;
    X11KeyboardMap m_keyboard;
    quint16 m_altMask = 0;
    quint16 m_superMask = 0;
    quint16 m_numLockMask = 0;
    quint16 m_scrollLockMask = 0;
    QList<Shortcut> m_grabbed;
    // The key of the last press handled, until it is seen up again: its
    // auto-repeats are no new presses.
    std::optional<quint8> m_heldKeycode;
    QTimer m_heldPoll;
};
