#include "app/SessionBusHandOff.h"

#include "app/InstanceBusName.h"
#include "platform/linux/SessionBusCall.h"

namespace SessionBusHandOff {

bool open(const QList<QUrl>& urls) {
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    for (const QUrl& url : urls)
        g_variant_builder_add(&uris, "s", url.toEncoded().constData());
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    // The file manager that started this process gave it leave to take focus;
    // the instance shows the picker or alert, so the token goes there.
    for (const auto& [variable, key] : {std::pair{"XDG_ACTIVATION_TOKEN", "activation-token"},
                                        std::pair{"DESKTOP_STARTUP_ID", "desktop-startup-id"}}) {
        const QByteArray token = qgetenv(variable);
        if (!token.isEmpty())
            g_variant_builder_add(&platformData, "{sv}", key,
                                  g_variant_new_string(token.constData()));
    }
    return SessionBusCall::call(
               InstanceBusName::service, InstanceBusName::objectPath, "org.freedesktop.Application",
               "Open", g_variant_new("(asa{sv})", &uris, &platformData), nullptr, 10000) != nullptr;
}

namespace {
// ActivateAction with each of `strings` as a string variant, no platform data.
bool activateAction(const char* action, const QList<QByteArray>& strings) {
    GVariantBuilder parameter;
    g_variant_builder_init(&parameter, G_VARIANT_TYPE("av"));
    for (const QByteArray& text : strings)
        g_variant_builder_add(&parameter, "v", g_variant_new_string(text.constData()));
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    return SessionBusCall::call(InstanceBusName::service, InstanceBusName::objectPath,
                                "org.freedesktop.Application", "ActivateAction",
                                g_variant_new("(sava{sv})", action, &parameter, &platformData),
                                nullptr, 10000) != nullptr;
}
} // namespace

bool teach(const QUrl& sample) {
    return activateAction("teach", {sample.toEncoded()});
}

bool openWithHotkeys(const QStringList& hotkeyNames, const QList<QUrl>& urls) {
    QList<QByteArray> strings;
    for (const QString& name : hotkeyNames)
        strings.append(name.toUtf8());
    strings.append("--");
    for (const QUrl& url : urls)
        strings.append(url.toEncoded());
    return activateAction("open-with-hotkeys", strings);
}

bool route(const QList<QUrl>& urls, const std::optional<QSet<QString>>& hotkeyNames) {
    if (!hotkeyNames)
        return open(urls);
    return openWithHotkeys(QStringList(hotkeyNames->begin(), hotkeyNames->end()), urls);
}

bool showSettings() {
    return activateAction("settings", {});
}

} // namespace SessionBusHandOff
