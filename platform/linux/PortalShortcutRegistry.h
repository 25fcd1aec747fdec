#pragma once

#include "core/platform/ShortcutRegistry.h"
#include "platform/linux/ShortcutTable.h"

#include <QHash>
#include <QList>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GCancellable GCancellable;
typedef struct _GVariant GVariant;

// The shortcut registry of a desktop that hands out global keys itself: the
// xdg-desktop-portal GlobalShortcuts interface (Wayland compositors grant no key
// grabs). The table is the same `shortcuts.json` as on X11; the portal gets one
// session, and every name with a handler and a stored combination is bound in it
// under its own id with the combination as the preferred trigger. The portal
// cannot unbind, so any change binds the whole list again. The desktop decides
// (it may ask the user, or keep keys the user chose in its settings); a name is
// active once the portal has answered. Activations arrive as D-Bus signals on
// the GLib main context, which Qt's event loop runs on the main thread.
// The portal may restart or be replaced while we run: its bus name is watched,
// and each new owner gets one new session with the whole list bound again.
// A desktop that binds only once per session (GNOME) gets each changed list in
// a new session.
class PortalShortcutRegistry : public ShortcutRegistry {
public:
    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* objectPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* interface = "org.freedesktop.portal.GlobalShortcuts";

    explicit PortalShortcutRegistry(std::optional<QString> tablePath = std::nullopt);
    ~PortalShortcutRegistry() override;
    PortalShortcutRegistry(const PortalShortcutRegistry&) = delete;
    PortalShortcutRegistry& operator=(const PortalShortcutRegistry&) = delete;

    // The interface's version on the session bus (starting the portal if it is
    // activatable); 0 when no portal offers global shortcuts.
    static uint offeredVersion(int timeoutMs);
    // `shortcut` in the freedesktop shortcuts format ("CTRL+ALT+k",
    // "LOGO+SHIFT+e"); none for a key without a name there.
    static std::optional<QString> trigger(const Shortcut& shortcut);

    ShortcutTable& table() { return m_table; }

    std::optional<Shortcut> getShortcut(const QString& name) const override;
    ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut, const QString& name) override;
    ShortcutGrab onKeyDown(const QString& name, Handler action) override;
    void removeHandler(const QString& name) override;
    ShortcutGrab grabState(const QString& name) const override;
    std::optional<QString> lastSaveError() const override { return m_table.lastWriteError(); }
    bool isEnabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;
    // The desktop arbitrates: whatever it grants is ours.
    bool isHeldByAnotherProgram(const Shortcut&) override { return false; }
    bool canRepresent(const Shortcut& shortcut) const override;
    QString displayText(const Shortcut& shortcut) const override;
    bool desktopConfirmsBindings() const override { return true; }
    // Sent as the shortcut's description; a name without one is described by itself.
    void setDescription(const QString& name, const QString& description) override;
    // How the desktop describes the trigger it holds for `name` (from its answer to
    // a binding, or from a change in its settings); none before it said.
    std::optional<QString> desktopTriggerDescription(const QString& name) const;

private:
    enum class Session { none, creating, open, failed };
    enum class Portal { unknown, present, gone };
    struct Binding {
        QString id;
        QString trigger;
        QString description;
        bool operator==(const Binding&) const = default;
    };

    // The list the portal should hold now.
    QList<Binding> wantedBindings() const;
    // Binds the wanted list when it differs from what was last sent, opening
    // the session first when needed.
    void rebind();
    // Connects, subscribes and watches the portal's name (or fails for good).
    void startWatching();
    void createSession();
    // Forgets the session and everything the portal granted in it; answers still
    // on their way are cancelled.
    void dropSession();
    // Closes the session (the desktop lets go of its keys) and binds the wanted
    // list in a new one.
    void replaceSession();
    static void portalAppeared(GDBusConnection*, const char*, const char* owner, void* data);
    static void portalVanished(GDBusConnection*, const char*, void* data);
    void sessionClosed();
    void shortcutsChanged(GVariant* shortcuts);
    // Records the desktop's trigger_description of each (id, a{sv}) in `shortcuts`.
    void readDescriptions(GVariant* shortcuts);
    void sendBindings();
    // The request object a call with `token` will answer on.
    QByteArray requestPath(const QByteArray& token) const;
    void subscribeResponse(const QByteArray& path,
                           void (*handler)(PortalShortcutRegistry&, uint, GVariant*));
    void unsubscribeResponse();
    void fail(const char* why);

    static void sessionCreated(PortalShortcutRegistry& self, uint response, GVariant* results);
    static void shortcutsBound(PortalShortcutRegistry& self, uint response, GVariant* results);
    void activated(const QString& id) const;

    ShortcutTable m_table;
    QHash<QString, Handler> m_handlers;
    bool m_enabled = true;

    Session m_session = Session::none;
    Portal m_portal = Portal::unknown;
    // A session the desktop closed is opened again once per owner of the portal's
    // name, so a portal that keeps closing it is not asked in a loop.
    bool m_reopenedAfterClose = false;
    GDBusConnection* m_bus = nullptr;
    uint m_nameWatch = 0;
    uint m_changedSubscription = 0;
    uint m_closedSubscription = 0;
    GCancellable* m_cancellable = nullptr;
    QByteArray m_sessionHandle;
    uint m_activatedSubscription = 0;
    uint m_responseSubscription = 0;
    void (*m_responseHandler)(PortalShortcutRegistry&, uint, GVariant*) = nullptr;
    int m_nextToken = 1;
    // The list last sent, whether its answer is still awaited, and the
    // bindings the portal granted in its last answer.
    std::optional<QList<Binding>> m_sent;
    bool m_bindPending = false;
    // The desktop took a list in this session: a refusal now means it binds
    // only once per session (GNOME), not that it refuses the keys.
    bool m_boundInSession = false;
    QList<Binding> m_granted;
    // What we call each name, and how the desktop describes the trigger it holds.
    QHash<QString, QString> m_descriptions;
    QHash<QString, QString> m_triggerDescriptions;
};
