#include "platform/linux/LinuxDesktopTray.h"
#include "platform/linux/QtX11Connection.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QTimer>

#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {
const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
// How often the pointer is looked at while a drag is in progress.
constexpr int pointerPollMs = 50;

struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

struct LinuxDesktopTray::X11 {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_NONE;
    uint8_t firstEvent = 0;
    xcb_atom_t dndSelection = XCB_ATOM_NONE;
    xcb_atom_t traySelection = XCB_ATOM_NONE;
    int screen = 0;

    void watchSelection(xcb_atom_t selection) {
        xcb_xfixes_select_selection_input(
            connection, root, selection,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(connection);
    }
    bool selectionHasOwner(xcb_atom_t selection) const {
        const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr));
        return owner && owner->owner != XCB_NONE;
    }
};

std::optional<LinuxDesktopTray::SettingsCommand>
LinuxDesktopTray::traySettingsCommand(const QStringList& desktops,
                                      const std::function<bool(const QString&)>& hasEntry,
                                      const std::function<bool(const QString&)>& hasProgram) {
    const auto is = [&desktops](const char* name) {
        return desktops.contains(QLatin1String(name), Qt::CaseInsensitive);
    };
    if (is("GNOME") || is("Unity") || is("ubuntu")) {
        // GNOME's own Extensions app first, then the widely used Extension Manager.
        for (const char* id : {"org.gnome.Extensions", "com.mattjakeman.ExtensionManager"}) {
            if (hasEntry(QLatin1String(id)))
                return SettingsCommand{QLatin1String(id), {}};
        }
        return std::nullopt;
    }
    if (is("XFCE") && hasProgram(QStringLiteral("xfce4-panel")))
        return SettingsCommand{{},
                               {QStringLiteral("xfce4-panel"), QStringLiteral("--preferences")}};
    return std::nullopt;
}

LinuxDesktopTray::LinuxDesktopTray(QObject* parent)
    : QObject(parent)
    , m_pointerTimer(new QTimer(this)) {
    m_pointerTimer->setInterval(pointerPollMs);
    connect(m_pointerTimer, &QTimer::timeout, this, [this] { followPointer(); });

    if (xcb_connection_t* connection = qtX11Connection()) {
        const xcb_query_extension_reply_t* extension =
            xcb_get_extension_data(connection, &xcb_xfixes_id);
        if (extension && extension->present) {
            const Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
                connection, xcb_xfixes_query_version(connection, 5, 0), nullptr));
            if (version) {
                m_x11 = std::make_unique<X11>();
                m_x11->connection = connection;
                m_x11->firstEvent = extension->first_event;
                m_x11->root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
                m_x11->dndSelection = internAtom(connection, "XdndSelection");
                m_x11->traySelection = internAtom(connection, "_NET_SYSTEM_TRAY_S0");
                QCoreApplication::instance()->installNativeEventFilter(this);
            }
        }
    }
}

LinuxDesktopTray::~LinuxDesktopTray() {
    if (m_x11 && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool LinuxDesktopTray::isAvailable() const {
    // Asked afresh each time (Qt keeps a tray it saw once as available): a
    // StatusNotifierItem host, which Wayland desktops have too.
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus && bus->isServiceRegistered(statusNotifierWatcher))
        return true;
    // An XEmbed tray owns its screen's selection.
    return m_x11 && m_x11->traySelection != XCB_ATOM_NONE &&
           m_x11->selectionHasOwner(m_x11->traySelection);
}

void LinuxDesktopTray::watchAvailability(std::function<void(bool)> changed) {
    m_availabilityChanged = std::move(changed);
    m_lastAvailable = isAvailable();
    if (!m_watcher && QDBusConnection::sessionBus().isConnected()) {
        m_watcher = new QDBusServiceWatcher(statusNotifierWatcher, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this] { availabilityMayHaveChanged(); });
    }
    if (m_x11 && m_x11->traySelection != XCB_ATOM_NONE)
        m_x11->watchSelection(m_x11->traySelection);
}

void LinuxDesktopTray::availabilityMayHaveChanged() {
    const bool available = isAvailable();
    if (available == m_lastAvailable)
        return;
    m_lastAvailable = available;
    if (m_availabilityChanged)
        m_availabilityChanged(available);
}

void LinuxDesktopTray::watchDragsOverIcon(std::function<std::optional<QRect>()> iconGeometry,
                                          std::function<void(bool)> over) {
    m_iconGeometry = std::move(iconGeometry);
    m_over = std::move(over);
    if (m_x11 && m_x11->dndSelection != XCB_ATOM_NONE)
        m_x11->watchSelection(m_x11->dndSelection);
}

bool LinuxDesktopTray::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_x11 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != m_x11->firstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection == m_x11->dndSelection &&
        notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
        notify->owner != XCB_NONE) {
        // Every drag starts by taking XdndSelection; Qt's own event handling still
        // needs the event.
        QTimer::singleShot(0, this, [this] { dragStarted(); });
    } else if (notify->selection == m_x11->traySelection) {
        QTimer::singleShot(0, this, [this] { availabilityMayHaveChanged(); });
    }
    return false;
}

void LinuxDesktopTray::dragStarted() {
    if (!m_over)
        return;
    m_pointerOverIcon = false;
    m_pointerTimer->start();
    followPointer();
}

void LinuxDesktopTray::followPointer() {
    const Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
        m_x11->connection, xcb_query_pointer(m_x11->connection, m_x11->root), nullptr));
    constexpr uint16_t buttons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    // The drag is over once no button is held (dropped or cancelled).
    const bool dragging = pointer && (pointer->mask & buttons);
    bool over = false;
    if (dragging && m_iconGeometry) {
        const std::optional<QRect> icon = m_iconGeometry();
        // X gives device pixels; Qt's geometry is in device-independent ones.
        const qreal ratio = qGuiApp->devicePixelRatio();
        const QPoint position(qRound(pointer->root_x / ratio), qRound(pointer->root_y / ratio));
        over = icon && icon->contains(position);
    }
    if (!dragging)
        m_pointerTimer->stop();
    if (over != m_pointerOverIcon) {
        m_pointerOverIcon = over;
        if (m_over)
            m_over(over);
    }
}

bool LinuxDesktopTray::hasTraySettings() const {
    return traySettingsCommand(DesktopSettingsCommand::currentDesktops(),
                               DesktopSettingsCommand::desktopEntryExists,
                               DesktopSettingsCommand::programExists)
        .has_value();
}

bool LinuxDesktopTray::openTraySettings() {
    const std::optional<SettingsCommand> command = traySettingsCommand(
        DesktopSettingsCommand::currentDesktops(), DesktopSettingsCommand::desktopEntryExists,
        DesktopSettingsCommand::programExists);
    return command && command->launch();
}
