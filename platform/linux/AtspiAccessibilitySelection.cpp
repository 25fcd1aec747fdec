#include "platform/linux/AtspiAccessibilitySelection.h"

#include "core/platform/FrontmostApplication.h"
#include "core/selection/ScriptableFileManager.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SessionBusCall.h"
#include "platform/linux/XcbConnection.h"

#include <QDeadlineTimer>
#include <QQueue>
#include <QSet>

namespace {
constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";
constexpr int stateActive = 1;
constexpr int stateFocused = 12;
constexpr int stateSelected = 23;

struct Node {
    QByteArray name;
    QByteArray path;
    bool operator==(const Node&) const = default;
};

size_t qHash(const Node& node, size_t seed = 0) {
    return ::qHash(node.name, seed) ^ ::qHash(node.path, seed);
}

GVariantPtr call(GDBusConnection* bus, const Node& node, const char* interface, const char* method,
                 GVariant* parameters, const char* replyType, QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    if (remaining == 0) {
        if (parameters)
            g_variant_unref(g_variant_ref_sink(parameters));
        return nullptr;
    }
    GErrorOut ignored;
    return GVariantPtr(g_dbus_connection_call_sync(
        bus, node.name.constData(), node.path.constData(), interface, method, parameters,
        G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NO_AUTO_START,
        remaining < 0 ? 250 : int(qMin<qint64>(remaining, 250)), nullptr, ignored));
}

QList<Node> nodeList(GVariant* array) {
    QList<Node> nodes;
    GVariantIter iter;
    g_variant_iter_init(&iter, array);
    const char* name = nullptr;
    const char* path = nullptr;
    while (g_variant_iter_next(&iter, "(&s&o)", &name, &path))
        nodes.append(Node{QByteArray(name), QByteArray(path)});
    return nodes;
}

QList<Node> children(GDBusConnection* bus, const Node& node, QDeadlineTimer deadline) {
    const GVariantPtr reply =
        call(bus, node, accessibleInterface, "GetChildren", nullptr, "(a(so))", deadline);
    if (!reply)
        return {};
    GVariantPtr array(g_variant_get_child_value(reply.get(), 0));
    return nodeList(array.get());
}

bool hasState(GDBusConnection* bus, const Node& node, int state, QDeadlineTimer deadline) {
    const GVariantPtr reply =
        call(bus, node, accessibleInterface, "GetState", nullptr, "(au)", deadline);
    if (!reply)
        return false;
    GVariantPtr array(g_variant_get_child_value(reply.get(), 0));
    gsize count = 0;
    const auto* words = static_cast<const guint32*>(
        g_variant_get_fixed_array(array.get(), &count, sizeof(guint32)));
    const gsize word = gsize(state / 32);
    return word < count && (words[word] & (1u << (state % 32)));
}

std::optional<Node> parent(GDBusConnection* bus, const Node& node, QDeadlineTimer deadline) {
    const GVariantPtr reply =
        call(bus, node, "org.freedesktop.DBus.Properties", "Get",
             g_variant_new("(ss)", accessibleInterface, "Parent"), "(v)", deadline);
    if (!reply)
        return std::nullopt;
    GVariantPtr boxed(g_variant_get_child_value(reply.get(), 0));
    GVariantPtr value(g_variant_get_variant(boxed.get()));
    if (!g_variant_is_of_type(value.get(), G_VARIANT_TYPE("(so)")))
        return std::nullopt;
    const char* name = nullptr;
    const char* path = nullptr;
    g_variant_get(value.get(), "(&s&o)", &name, &path);
    return Node{QByteArray(name), QByteArray(path)};
}

bool hasInterface(GDBusConnection* bus, const Node& node, const char* interface,
                  QDeadlineTimer deadline) {
    const GVariantPtr reply =
        call(bus, node, accessibleInterface, "GetInterfaces", nullptr, "(as)", deadline);
    if (!reply)
        return false;
    GVariantPtr names(g_variant_get_child_value(reply.get(), 0));
    GVariantIter iter;
    g_variant_iter_init(&iter, names.get());
    const char* name = nullptr;
    while (g_variant_iter_next(&iter, "&s", &name)) {
        if (qstrcmp(name, interface) == 0)
            return true;
    }
    return false;
}

// The children an element's Selection interface reports.
QList<Node> selectedChildren(GDBusConnection* bus, const Node& node, int limit,
                             QDeadlineTimer deadline) {
    // Asking an element without the interface upsets some toolkits.
    if (!hasInterface(bus, node, "org.a11y.atspi.Selection", deadline))
        return {};
    const GVariantPtr count = call(
        bus, node, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.a11y.atspi.Selection", "NSelectedChildren"), "(v)", deadline);
    if (!count)
        return {};
    GVariantPtr boxed(g_variant_get_child_value(count.get(), 0));
    GVariantPtr value(g_variant_get_variant(boxed.get()));
    if (!g_variant_is_of_type(value.get(), G_VARIANT_TYPE_INT32))
        return {};
    QList<Node> nodes;
    const int selected = qMin(g_variant_get_int32(value.get()), limit);
    for (int i = 0; i < selected; ++i) {
        const GVariantPtr child = call(bus, node, "org.a11y.atspi.Selection", "GetSelectedChild",
                                       g_variant_new("(i)", i), "((so))", deadline);
        if (!child)
            break;
        const char* name = nullptr;
        const char* path = nullptr;
        g_variant_get(child.get(), "((&s&o))", &name, &path);
        nodes.append(Node{QByteArray(name), QByteArray(path)});
    }
    return nodes;
}

std::optional<QString> attribute(GDBusConnection* bus, const Node& node, QDeadlineTimer deadline,
                                 const char* key) {
    const GVariantPtr reply =
        call(bus, node, accessibleInterface, "GetAttributes", nullptr, "(a{ss})", deadline);
    if (!reply)
        return std::nullopt;
    GVariantPtr dict(g_variant_get_child_value(reply.get(), 0));
    const char* value = nullptr;
    if (!g_variant_lookup(dict.get(), key, "&s", &value) || !value)
        return std::nullopt;
    return QString::fromUtf8(value);
}
} // namespace

AtspiAccessibilitySelection::AtspiAccessibilitySelection(const FrontmostApplication& frontmost,
                                                         int budgetMs, int nodeLimit)
    : m_frontmost(frontmost)
    , m_budgetMs(budgetMs)
    , m_nodeLimit(nodeLimit) {}

AtspiAccessibilitySelection::~AtspiAccessibilitySelection() {
    if (m_bus)
        g_object_unref(m_bus);
}

GDBusConnection* AtspiAccessibilitySelection::bus() const {
    if (m_bus && !g_dbus_connection_is_closed(m_bus))
        return m_bus;
    if (m_bus) {
        g_object_unref(m_bus);
        m_bus = nullptr;
    }
    // Asking does not start the launcher: with none running, nothing is registered.
    const GVariantPtr reply = SessionBusCall::call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                                   "GetAddress", nullptr, "(s)", 300);
    if (!reply)
        return nullptr;
    const char* address = nullptr;
    g_variant_get(reply.get(), "(&s)", &address);
    GErrorOut ignored;
    m_bus = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, ignored);
    return m_bus;
}

std::optional<QString> AtspiAccessibilitySelection::frontmostApplication() const {
    const std::optional<qint64> pid = m_frontmost.frontmostProcessID();
    // Only X11 names the frontmost window; elsewhere the toolkits do, in the tree.
    const bool askTree = !pid && !XcbConnection::mayConnect();
    if (!pid && !askTree)
        return std::nullopt;
    GDBusConnection* connection = bus();
    if (!connection)
        return std::nullopt;
    const QDeadlineTimer deadline(m_budgetMs);
    const QList<Node> applications =
        children(connection, Node{"org.a11y.atspi.Registry", rootPath}, deadline);
    if (askTree) {
        // The application one of whose windows is in the active state.
        for (const Node& application : applications) {
            for (const Node& window : children(connection, application, deadline)) {
                if (hasState(connection, window, stateActive, deadline))
                    return QString::fromLatin1(application.name);
            }
        }
        return std::nullopt;
    }
    for (const Node& application : applications) {
        const GVariantPtr reply =
            call(connection, Node{"org.freedesktop.DBus", "/org/freedesktop/DBus"},
                 "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                 g_variant_new("(s)", application.name.constData()), "(u)", deadline);
        if (!reply)
            continue;
        guint32 owner = 0;
        g_variant_get(reply.get(), "(u)", &owner);
        if (qint64(owner) == *pid)
            return QString::fromLatin1(application.name);
    }
    return std::nullopt;
}

bool AtspiAccessibilitySelection::isTrusted() const {
    return frontmostApplication().has_value();
}

QList<QUrl> AtspiAccessibilitySelection::selectedFileURLs() const {
    // The file managers of the copy route show their items by display name
    // only (measured for Thunar, Nautilus, Dolphin, PCManFM-Qt): walking them
    // costs up to the whole budget and finds nothing, so the walk is left to
    // the applications where it is the only way.
    if (const std::optional<QString> id = m_frontmost.frontmostBundleID()) {
        for (const ScriptableFileManager& manager : ScriptableFileManager::builtins()) {
            if (manager.matches(*id))
                return {};
        }
    }
    const std::optional<QString> application = frontmostApplication();
    GDBusConnection* connection = bus();
    if (!application || !connection)
        return {};
    const QDeadlineTimer deadline(m_budgetMs);
    // Breadth first from the application: its focused element.
    QQueue<Node> queue;
    QSet<Node> seen;
    queue.enqueue(Node{application->toLatin1(), rootPath});
    std::optional<Node> focused;
    int visited = 0;
    while (!queue.isEmpty() && visited < m_nodeLimit && !deadline.hasExpired()) {
        const Node node = queue.dequeue();
        if (seen.contains(node))
            continue;
        seen.insert(node);
        ++visited;
        if (hasState(connection, node, stateFocused, deadline)) {
            focused = node;
            break;
        }
        for (const Node& child : children(connection, node, deadline))
            queue.enqueue(child);
    }
    if (!focused)
        return {};

    const int limit = m_nodeLimit;
    QList<Node> items = selectedChildren(connection, *focused, limit, deadline);
    if (items.isEmpty()) {
        if (const std::optional<Node> up = parent(connection, *focused, deadline))
            items = selectedChildren(connection, *up, limit, deadline);
    }
    if (items.isEmpty()) {
        // Toolkits without the Selection interface mark the items instead.
        for (const Node& child : children(connection, *focused, deadline)) {
            if (deadline.hasExpired() || items.size() >= limit)
                break;
            if (hasState(connection, child, stateSelected, deadline))
                items.append(child);
        }
    }
    QList<QUrl> urls;
    for (const Node& item : std::as_const(items)) {
        for (const char* key : {"url", "uri"}) {
            const std::optional<QString> value = attribute(connection, item, deadline, key);
            if (!value)
                continue;
            if (const std::optional<QUrl> url = urlFromAttribute(*value)) {
                urls.append(*url);
                break;
            }
        }
    }
    return urls;
}

std::optional<QUrl> AtspiAccessibilitySelection::urlFromAttribute(const QString& value) {
    // Parsed as a URL string, never as a path.
    const QUrl url(value, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    return url;
}
