#pragma once

#include "platform/linux/GlobalShortcutsPortal.h"
#include "platform/linux/TableShortcutRegistry.h"

#include <QHash>
#include <QList>

// The shortcut registry of a desktop that hands out global keys itself: the
// xdg-desktop-portal GlobalShortcuts interface (Wayland compositors grant no key
// grabs), spoken through `GlobalShortcutsPortal`. The table is the same
// `shortcuts.json` as on X11; the portal gets one session, and every name with a
// handler and a stored combination is bound in it under its own id with the
// combination as the preferred trigger. The portal cannot unbind, so any change
// binds the whole list again. The desktop decides (it may ask the user, or keep
// keys the user chose in its settings); a name is active once the portal has
// answered. The portal may restart or be replaced while we run: each new owner of
// its name gets one new session with the whole list bound again. A desktop that
// binds only once per session (GNOME) gets each changed list in a new session.
class PortalShortcutRegistry : public TableShortcutRegistry,
                               private GlobalShortcutsPortal::Listener {
public:
    static constexpr const char* service = GlobalShortcutsPortal::service;
    static constexpr const char* objectPath = GlobalShortcutsPortal::objectPath;
    static constexpr const char* interface = GlobalShortcutsPortal::interface;

    explicit PortalShortcutRegistry(std::optional<QString> tablePath = std::nullopt);
    ~PortalShortcutRegistry() override;
    PortalShortcutRegistry(const PortalShortcutRegistry&) = delete;
    PortalShortcutRegistry& operator=(const PortalShortcutRegistry&) = delete;

    static uint offeredVersion(int timeoutMs) {
        return GlobalShortcutsPortal::offeredVersion(timeoutMs);
    }
    // `shortcut` in the freedesktop shortcuts format ("CTRL+ALT+k",
    // "LOGO+SHIFT+e"); none for a key without a name there.
    static std::optional<QString> trigger(const Shortcut& shortcut);

    ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut, const QString& name) override;
    ShortcutGrab onKeyDown(const QString& name, Handler action) override;
    void removeHandler(const QString& name) override;
    ShortcutGrab grabState(const QString& name) const override;
    void setEnabled(bool enabled) override;
    // The desktop arbitrates: whatever it grants is ours.
    bool isHeldByAnotherProgram(const Shortcut&) override { return false; }
    bool canRepresent(const Shortcut& shortcut) const override;
    bool desktopConfirmsBindings() const override { return true; }
    // Sent as the shortcut's description; a name without one is described by itself.
    void setDescription(const QString& name, const QString& description) override;
    // How the desktop describes the trigger it holds for `name` (from its answer to
    // a binding, or from a change in its settings); none before it said.
    std::optional<QString> desktopTriggerDescription(const QString& name) const;

private:
    using Binding = GlobalShortcutsPortal::Binding;
    using Held = GlobalShortcutsPortal::Held;
    enum class Session { none, creating, open, failed };
    enum class Portal { unknown, present, gone };

    // The list the portal should hold now.
    QList<Binding> wantedBindings() const;
    // Binds the wanted list when it differs from what was last sent, opening
    // the session first when needed.
    void rebind();
    // Forgets the session and everything the portal granted in it.
    void forgetSession();
    void fail(const QString& why);
    // Records the desktop's trigger description of each shortcut.
    void readDescriptions(const QList<Held>& shortcuts);

    void portalAppeared() override;
    void portalVanished() override;
    void sessionOpened() override;
    void sessionFailed(const QString& why) override;
    void sessionClosed() override;
    void bound(std::optional<uint> response, const std::optional<QList<Held>>& granted) override;
    void activated(const QString& id) override;
    void shortcutsChanged(const QList<Held>& shortcuts) override;

    QHash<QString, Handler> m_handlers;

    Session m_session = Session::none;
    Portal m_portal = Portal::unknown;
    // A session the desktop closed is opened again once per owner of the portal's
    // name, so a portal that keeps closing it is not asked in a loop.
    bool m_reopenedAfterClose = false;
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
    // Last: it reports to the members above until it is gone.
    GlobalShortcutsPortal m_client{*this};
};
