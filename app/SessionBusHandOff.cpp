#include "app/SessionBusHandOff.h"

#include "app/SingleInstance.h"
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
    return SessionBusCall::call(SingleInstance::serviceName, SingleInstance::objectPath,
                                "org.freedesktop.Application", "Open",
                                g_variant_new("(asa{sv})", &uris, &platformData), nullptr,
                                10000) != nullptr;
}

bool teach(const QUrl& sample) {
    GVariantBuilder parameter;
    g_variant_builder_init(&parameter, G_VARIANT_TYPE("av"));
    g_variant_builder_add(&parameter, "v", g_variant_new_string(sample.toEncoded().constData()));
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    return SessionBusCall::call(SingleInstance::serviceName, SingleInstance::objectPath,
                                "org.freedesktop.Application", "ActivateAction",
                                g_variant_new("(sava{sv})", "teach", &parameter, &platformData),
                                nullptr, 10000) != nullptr;
}

bool openWithHotkeys(const QStringList& hotkeyNames, const QList<QUrl>& urls) {
    QStringList strings = hotkeyNames;
    strings.append(QStringLiteral("--"));
    for (const QUrl& url : urls)
        strings.append(QString::fromUtf8(url.toEncoded()));
    GVariantBuilder parameter;
    g_variant_builder_init(&parameter, G_VARIANT_TYPE("av"));
    for (const QString& text : strings)
        g_variant_builder_add(&parameter, "v", g_variant_new_string(text.toUtf8().constData()));
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    return SessionBusCall::call(
               SingleInstance::serviceName, SingleInstance::objectPath,
               "org.freedesktop.Application", "ActivateAction",
               g_variant_new("(sava{sv})", "open-with-hotkeys", &parameter, &platformData), nullptr,
               10000) != nullptr;
}

} // namespace SessionBusHandOff
