#pragma once

#include "platform/linux/GLibPointers.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "platform/linux/PortalShortcutRegistry.h"
#include "tests/integration/BusPeer.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

inline constexpr char portalXml[] =
    "<node><interface name='org.freedesktop.portal.GlobalShortcuts'>"
    "<method name='CreateSession'><arg type='a{sv}' direction='in'/>"
    "<arg type='o' direction='out'/></method>"
    "<method name='BindShortcuts'><arg type='o' direction='in'/>"
    "<arg type='a(sa{sv})' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
    "<property name='version' type='u' access='read'/>"
    "</interface></node>";

using Bound = GlobalShortcutsPortal::Binding;

// The desktop's side of global shortcuts as xdg-desktop-portal shows it: calls
// answered later on Request objects named by the caller's token, and
// activations when a test presses.
class FakePortal : public BusPeer {
public:
    // `grantsOnBind` false: the answer to a binding lists nothing, as Plasma 5.27's
    // does; keys come later, when the user assigns them (changeTrigger).
    // `bindsOnce`: a second binding in a session is refused (response 2), as
    // GNOME's is; a session closed by its client lets go of its keys.
    explicit FakePortal(bool opensSessions = true, bool grantsOnBind = true, bool bindsOnce = false)
        : m_opensSessions(opensSessions)
        , m_grantsOnBind(grantsOnBind)
        , m_bindsOnce(bindsOnce) {
        exportObject(PortalShortcutRegistry::objectPath, portalXml);
        start();
    }
    ~FakePortal() override { stopAnswering(); }

    int sessions() const { return locked(m_sessions); }
    QList<QList<Bound>> binds() const { return locked(m_binds); }
    // What the open session was granted: the keys the desktop holds for us.
    QList<Bound> held() const { return locked(m_held).value(currentSession()); }
    int closedSessions() const { return locked(m_closed); }
    void press(const char* id) {
        emitSignal(
            PortalShortcutRegistry::objectPath, PortalShortcutRegistry::interface, "Activated",
            g_variant_new("(osta{sv})", currentSession().constData(), id, guint64(1), nullptr));
    }

    // The desktop ends the session (org.freedesktop.portal.Session.Closed).
    void closeSession() {
        emitSignal(currentSession().constData(), "org.freedesktop.portal.Session", "Closed",
                   g_variant_new("(a{sv})", nullptr));
    }
    // The user gave `id` another key in the desktop's settings; `session` defaults
    // to the open one.
    void changeTrigger(const char* id, const char* description, QByteArray session = {}) {
        if (session.isEmpty())
            session = currentSession();
        emitSignal(PortalShortcutRegistry::objectPath, PortalShortcutRegistry::interface,
                   "ShortcutsChanged",
                   g_variant_new_parsed("(%o, [(%s, {'trigger_description': <%s>})])",
                                        session.constData(), id, description));
    }

private:
    // A copy of `member`, taken while the peer's thread cannot change it.
    template <typename T> T locked(const T& member) const {
        const QMutexLocker lock(&m_mutex);
        return member;
    }
    QByteArray currentSession() const { return locked(m_session); }

    void call(const QByteArray& path, const QByteArray& interface, const QByteArray& method,
              GVariant* parameters, GDBusMethodInvocation* invocation) override {
        const QMutexLocker lock(&m_mutex);
        if (interface == "org.freedesktop.portal.Session") { // Close lets go of its keys
            m_held.remove(path);
            ++m_closed;
            g_dbus_method_invocation_return_value(invocation, nullptr);
            return;
        }
        const QByteArray sender =
            QByteArray(g_dbus_method_invocation_get_sender(invocation)).mid(1).replace('.', '_');
        GVariantPtr options(
            g_variant_get_child_value(parameters, method == "CreateSession" ? 0 : 3));
        const char* token = "";
        g_variant_lookup(options.get(), "handle_token", "&s", &token);
        const QByteArray request =
            "/org/freedesktop/portal/desktop/request/" + sender + '/' + token;
        g_dbus_method_invocation_return_value(invocation,
                                              g_variant_new("(o)", request.constData()));

        GVariantBuilder results;
        g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
        guint32 response = 0;
        if (method == "CreateSession") {
            const char* sessionToken = "";
            g_variant_lookup(options.get(), "session_handle_token", "&s", &sessionToken);
            const QByteArray session =
                "/org/freedesktop/portal/desktop/session/" + sender + '/' + sessionToken;
            ++m_sessions;
            if (m_opensSessions) {
                m_session = session;
                exportObject(session.constData(),
                             "<node><interface name='org.freedesktop.portal.Session'>"
                             "<method name='Close'/></interface></node>");
                g_variant_builder_add(&results, "{sv}", "session_handle",
                                      g_variant_new_string(session.constData()));
            } else {
                response = 2;
            }
        } else {
            GVariantPtr shortcuts(g_variant_get_child_value(parameters, 1));
            GVariantBuilder granted;
            g_variant_builder_init(&granted, G_VARIANT_TYPE("a(sa{sv})"));
            QList<Bound> bind;
            GVariantIter each;
            g_variant_iter_init(&each, shortcuts.get());
            const char* id = nullptr;
            GVariant* info = nullptr;
            while (g_variant_iter_loop(&each, "(&s@a{sv})", &id, &info)) {
                const char *trigger = "", *description = "";
                g_variant_lookup(info, "preferred_trigger", "&s", &trigger);
                g_variant_lookup(info, "description", "&s", &description);
                bind.append({id, trigger, description});
                if (m_grantsOnBind)
                    g_variant_builder_add_parsed(&granted, "(%s, {'trigger_description': <%s>})",
                                                 id, trigger);
            }
            g_variant_builder_add(&results, "{sv}", "shortcuts", g_variant_builder_end(&granted));
            const char* session = "";
            g_variant_get_child(parameters, 0, "&o", &session);
            m_binds.append(bind);
            if (m_bindsOnce && m_held.contains(session))
                response = 2;
            else
                m_held.insert(session, bind);
        }
        emitSignal(request.constData(), "org.freedesktop.portal.Request", "Response",
                   g_variant_new("(ua{sv})", response, &results));
    }
    GVariant* property(const QByteArray&, const QByteArray&, const QByteArray& name) override {
        return name == "version" ? g_variant_new_uint32(1) : nullptr;
    }

    const bool m_opensSessions;
    const bool m_grantsOnBind;
    const bool m_bindsOnce;
    mutable QMutex m_mutex;
    QHash<QByteArray, QList<Bound>> m_held;
    int m_closed = 0;
    int m_sessions = 0;
    QByteArray m_session;
    QList<QList<Bound>> m_binds;
};
