#include "app/BusActivatedStart.h"

#include "app/ColdOpen.h"
#include "app/EarlyHandOff.h"
#include "app/InstanceBusName.h"
#include "app/OpenArguments.h"
#include "core/platform/StartupTimeline.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SessionBusCall.h"

#include <QStringList>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace {
constexpr char interfaceName[] = "org.freedesktop.Application";
constexpr char interfaceXml[] =
    "<node><interface name='org.freedesktop.Application'>"
    "<method name='Activate'><arg type='a{sv}' direction='in'/></method>"
    "<method name='Open'><arg type='as' direction='in'/><arg type='a{sv}' direction='in'/>"
    "</method>"
    "<method name='ActivateAction'><arg type='s' direction='in'/><arg type='av' direction='in'/>"
    "<arg type='a{sv}' direction='in'/></method>"
    "</interface></node>";
// The request the bus started Corvanta for is on its way as the name is taken;
// this is only for a start that brings none.
constexpr guint firstRequestWaitMs = 1000;
constexpr guint takeOverWaitMs = 30000;
constexpr int forwardTimeoutMs = 30000;

// A request for the full program; no invocation for one the launcher made up
// (the files of the first request whose launch failed).
struct Waiting {
    GDBusMethodInvocation* invocation;
    std::string method;
    GVariantPtr parameters;
};

struct State {
    enum class Name { asked, owned, lost };
    GDBusConnection* bus = nullptr;
    Name name = Name::asked;
    bool requestSeen = false;
    // Every file of the first request opened here: the full program has
    // nothing to wait for.
    bool firstOpened = false;
    std::vector<Waiting> waiting;
    int forwarding = 0;
    std::optional<int> programStatus;
};

std::optional<QString> activationToken(GVariant* platformData) {
    for (const char* key : InstanceBusName::activationTokenKeys) {
        const char* value = nullptr;
        if (g_variant_lookup(platformData, key, "&s", &value) && value && *value)
            return QString::fromUtf8(value);
    }
    return std::nullopt;
}

void forwarded(GObject* source, GAsyncResult* result, gpointer data) {
    auto* invocation = static_cast<GDBusMethodInvocation*>(data);
    auto* state = static_cast<State*>(g_object_get_data(source, "corvanta-start"));
    GErrorOut error;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, error);
    if (invocation && reply)
        g_dbus_method_invocation_return_value(invocation, reply);
    else if (invocation)
        g_dbus_method_invocation_take_error(invocation, error.take());
    if (reply)
        g_variant_unref(reply);
    --state->forwarding;
}

// Once the full program owns the name, every waiting request goes to it, in
// the order they came.
void forwardWaiting(State& state) {
    for (Waiting& request : std::exchange(state.waiting, {})) {
        ++state.forwarding;
        g_dbus_connection_call(state.bus, InstanceBusName::service, InstanceBusName::objectPath,
                               interfaceName, request.method.c_str(), request.parameters.release(),
                               nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, forwardTimeoutMs, nullptr,
                               forwarded, request.invocation);
    }
}

// Opens the files of the first request here when every one can be; true when
// the request was answered.
bool openFirst(State& state, GVariant* parameters, GDBusMethodInvocation* invocation) {
    const char** uris = nullptr;
    GVariant* platformData = nullptr;
    g_variant_get(parameters, "(^a&s@a{sv})", &uris, &platformData);
    const GVariantPtr ownedPlatformData(platformData);
    QStringList texts;
    for (const char** uri = uris; uri && *uri; ++uri)
        texts.append(QString::fromUtf8(*uri));
    g_free(uris);
    const QList<QUrl> files = OpenArguments::fromURIs(texts);
    if (files.isEmpty() || files.size() != texts.size())
        return false;
    const QList<QUrl> left = ColdOpen::openFiles(files, activationToken(platformData));
    if (left == files)
        return false;
    g_dbus_method_invocation_return_value(invocation, nullptr);
    state.firstOpened = left.isEmpty();
    if (!left.isEmpty()) {
        GVariantBuilder leftURIs;
        g_variant_builder_init(&leftURIs, G_VARIANT_TYPE("as"));
        for (const QUrl& url : left)
            g_variant_builder_add(&leftURIs, "s", url.toEncoded().constData());
        state.waiting.push_back({nullptr, "Open",
                                 GVariantPtr(g_variant_ref_sink(g_variant_new(
                                     "(as@a{sv})", &leftURIs, ownedPlatformData.get())))});
    }
    return true;
}

void methodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    State& state = *static_cast<State*>(data);
    const bool first = !std::exchange(state.requestSeen, true);
    if (first && g_strcmp0(method, "Open") == 0 && openFirst(state, parameters, invocation))
        return;
    state.waiting.push_back({invocation, method, GVariantPtr(g_variant_ref(parameters))});
    if (state.name == State::Name::lost)
        forwardWaiting(state);
}

void nameAcquired(GDBusConnection*, const gchar*, gpointer data) {
    static_cast<State*>(data)->name = State::Name::owned;
}

void nameLost(GDBusConnection*, const gchar*, gpointer data) {
    auto& state = *static_cast<State*>(data);
    state.name = State::Name::lost;
    forwardWaiting(state);
}

void programEnded(GPid pid, gint status, gpointer data) {
    static_cast<State*>(data)->programStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    g_spawn_close_pid(pid);
}

// Turns the default main context until `done` holds or `ms` pass.
template <typename Done> void iterateUntil(Done done, guint ms) {
    bool expired = false;
    const guint timer = g_timeout_add(
        ms,
        [](gpointer flag) {
            *static_cast<bool*>(flag) = true;
            return gboolean(G_SOURCE_REMOVE);
        },
        &expired);
    while (!done() && !expired)
        g_main_context_iteration(nullptr, TRUE);
    if (!expired)
        g_source_remove(timer);
}

bool startFullProgram(State& state, const std::string& fullProgram, char** argv) {
    const char* mode =
        state.firstOpened ? EarlyHandOff::afterOpenOption : EarlyHandOff::busStartOption;
    // Under the launcher's name, as an exec would run it.
    char* arguments[] = {const_cast<char*>(fullProgram.c_str()), argv[0], const_cast<char*>(mode),
                         nullptr};
    GPid pid = 0;
    if (!g_spawn_async(nullptr, arguments, nullptr,
                       GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_FILE_AND_ARGV_ZERO), nullptr,
                       nullptr, &pid, nullptr))
        return false;
    g_child_watch_add(pid, programEnded, &state);
    return true;
}
} // namespace

namespace BusActivatedStart {
std::optional<int> serve(const std::string& fullProgram, char** argv) {
    const GObjectPtr<GDBusConnection> bus = SessionBusCall::sessionBus();
    if (!bus)
        return std::nullopt;
    State state;
    state.bus = bus.get();
    g_object_set_data(G_OBJECT(bus.get()), "corvanta-start", &state);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(interfaceXml, nullptr);
    static const GDBusInterfaceVTable vtable = {methodCall, nullptr, nullptr, {}};
    const guint object =
        g_dbus_connection_register_object(bus.get(), InstanceBusName::objectPath,
                                          node->interfaces[0], &vtable, &state, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    if (!object)
        return std::nullopt;
    // The full program takes the name over (a running instance never lets it go).
    const guint owner =
        g_bus_own_name_on_connection(bus.get(), InstanceBusName::service,
                                     GBusNameOwnerFlags(G_BUS_NAME_OWNER_FLAGS_ALLOW_REPLACEMENT |
                                                        G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE),
                                     nameAcquired, nameLost, &state, nullptr);
    iterateUntil([&] { return state.name != State::Name::asked; }, takeOverWaitMs);
    std::optional<int> status;
    if (state.name == State::Name::owned) {
        StartupTimeline::mark("launcher owns the bus name");
        iterateUntil([&] { return state.requestSeen; }, firstRequestWaitMs);
        if (startFullProgram(state, fullProgram, argv)) {
            iterateUntil([&] { return state.name == State::Name::lost || state.programStatus; },
                         takeOverWaitMs);
            iterateUntil([&] { return state.forwarding == 0; }, forwardTimeoutMs);
            status = state.programStatus.value_or(0);
        } else {
            status = 127;
        }
    }
    // GLib would ask the bus to release a name taken over, and warn at its answer;
    // one lost never comes back (no queueing), so nothing is left to release.
    if (state.name != State::Name::lost)
        g_bus_unown_name(owner);
    g_dbus_connection_unregister_object(bus.get(), object);
    // Requests the full program never took: their callers hear of it.
    for (Waiting& request : state.waiting) {
        if (request.invocation)
            g_dbus_method_invocation_return_dbus_error(
                request.invocation, "org.freedesktop.DBus.Error.NoReply",
                "Corvanta ended before it could take the request");
    }
    g_dbus_connection_flush_sync(bus.get(), nullptr, nullptr);
    g_object_set_data(G_OBJECT(bus.get()), "corvanta-start", nullptr);
    return status;
}
} // namespace BusActivatedStart
