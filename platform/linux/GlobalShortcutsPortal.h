#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GCancellable GCancellable;
typedef struct _GVariant GVariant;

// The client side of the xdg-desktop-portal GlobalShortcuts interface: the
// portal's owner on the session bus, one session at a time, the calls the portal
// answers later on Request objects, and the signals of the session. It keeps no
// shortcuts; what the portal says goes to its `Listener`, as Qt values, from
// GLib's main context (which Qt's event loop runs on the main thread).
class GlobalShortcutsPortal {
public:
    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* objectPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* interface = "org.freedesktop.portal.GlobalShortcuts";

    // One shortcut as sent: its id, the preferred trigger in the shortcuts format
    // and the text the desktop lists it by.
    struct Binding {
        QString id;
        QString trigger;
        QString description;
        bool operator==(const Binding&) const = default;
    };
    // One shortcut as the desktop reports it: the desktop's text for its trigger
    // (none when it gave none).
    struct Held {
        QString id;
        std::optional<QString> triggerDescription;
    };

    class Listener {
    public:
        virtual ~Listener() = default;
        // The portal's name got a new owner, or lost its owner.
        virtual void portalAppeared() = 0;
        virtual void portalVanished() = 0;
        virtual void sessionOpened() = 0;
        // No session: the portal refused one, or cannot be reached at all.
        virtual void sessionFailed(const QString& why) = 0;
        // The desktop closed the open session.
        virtual void sessionClosed() = 0;
        // The answer to `bind`: 0 granted (`granted` none when the answer lists
        // nothing, which means everything), 1 cancelled, 2 refused; none when the
        // portal rejected the call itself.
        virtual void bound(std::optional<uint> response,
                           const std::optional<QList<Held>>& granted) = 0;
        virtual void activated(const QString& id) = 0;
        // The user gave shortcuts of the open session other keys in the desktop's settings.
        virtual void shortcutsChanged(const QList<Held>& shortcuts) = 0;
    };

    explicit GlobalShortcutsPortal(Listener& listener);
    ~GlobalShortcutsPortal();
    GlobalShortcutsPortal(const GlobalShortcutsPortal&) = delete;
    GlobalShortcutsPortal& operator=(const GlobalShortcutsPortal&) = delete;

    // The interface's version on the session bus (starting the portal if it is
    // activatable); 0 when no portal offers global shortcuts.
    static uint offeredVersion(int timeoutMs);

    // Connects, subscribes and watches the portal's name; the first report comes
    // from the main context. Why it cannot, if so.
    std::optional<QString> watch();
    bool isWatching() const { return m_bus != nullptr; }
    void createSession();
    // Binds `bindings` in the open session (the portal cannot unbind: the list is
    // the whole set).
    void bind(const QList<Binding>& bindings);
    // Forgets the session: answers still on their way are cancelled.
    void dropSession();
    // Closes the session (the desktop lets go of its keys) and forgets it.
    void closeSession();

private:
    using ResponseHandler = void (*)(GlobalShortcutsPortal&, uint, GVariant*);
    // The request object a call with `token` will answer on.
    QByteArray requestPath(const QByteArray& token) const;
    QByteArray nextToken();
    void subscribeResponse(const QByteArray& path, ResponseHandler handler);
    void unsubscribeResponse();
    static QList<Held> heldShortcuts(GVariant* shortcuts);
    static void sessionCreated(GlobalShortcutsPortal& self, uint response, GVariant* results);
    static void shortcutsBound(GlobalShortcutsPortal& self, uint response, GVariant* results);
    void subscribeSignals();

    Listener& m_listener;
    GDBusConnection* m_bus = nullptr;
    GCancellable* m_cancellable = nullptr;
    QByteArray m_sessionHandle;
    uint m_nameWatch = 0;
    uint m_activatedSubscription = 0;
    uint m_changedSubscription = 0;
    uint m_closedSubscription = 0;
    uint m_responseSubscription = 0;
    ResponseHandler m_responseHandler = nullptr;
    int m_nextToken = 1;
};
