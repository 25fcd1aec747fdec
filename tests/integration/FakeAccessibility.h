#pragma once

#include "tests/integration/BusPeer.h"
#include "tests/integration/LinuxSandbox.h"

#include <QByteArray>
#include <QList>

inline constexpr char accessibleXml[] =
    "<node><interface name='org.a11y.atspi.Accessible'>"
    "<method name='GetChildren'><arg type='a(so)' direction='out'/></method>"
    "<method name='GetState'><arg type='au' direction='out'/></method>"
    "<method name='GetInterfaces'><arg type='as' direction='out'/></method>"
    "<method name='GetAttributes'><arg type='a{ss}' direction='out'/></method>"
    "</interface></node>";
inline constexpr char selectionXml[] =
    "<node><interface name='org.a11y.atspi.Selection'>"
    "<method name='GetSelectedChild'><arg type='i' direction='in'/>"
    "<arg type='(so)' direction='out'/></method>"
    "<property name='NSelectedChildren' type='i' access='read'/>"
    "</interface></node>";
inline constexpr char accessibleRootPath[] = "/org/a11y/atspi/accessible/root";

// An application in the accessibility tree as GTK shows one: its window in the
// active state holds a focused list with one selected item that names its file.
class AccessibleApplication : public BusPeer {
public:
    AccessibleApplication(QByteArray url, bool windowActive)
        : m_url(std::move(url))
        , m_windowActive(windowActive) {
        for (const char* path : {accessibleRootPath, "/window", "/list", "/item"})
            exportObject(path, accessibleXml);
        exportObject("/list", selectionXml);
        start();
    }
    ~AccessibleApplication() override { stopAnswering(); }
    QByteArray name() const { return g_dbus_connection_get_unique_name(connection()); }

private:
    void call(const QByteArray& path, const QByteArray&, const QByteArray& method, GVariant*,
              GDBusMethodInvocation* invocation) override {
        const QByteArray self = name();
        GVariant* reply = nullptr;
        if (method == "GetChildren") {
            const char* child = path == accessibleRootPath ? "/window"
                                : path == "/window"        ? "/list"
                                                           : nullptr;
            GVariantBuilder children;
            g_variant_builder_init(&children, G_VARIANT_TYPE("a(so)"));
            if (child)
                g_variant_builder_add(&children, "(so)", self.constData(), child);
            reply = g_variant_new("(a(so))", &children);
        } else if (method == "GetState") {
            const guint32 word = path == "/window" && m_windowActive ? 1u << 1
                                 : path == "/list"                   ? 1u << 12
                                                                     : 0u;
            const guint32 words[] = {word, 0};
            reply = g_variant_new("(@au)", g_variant_new_fixed_array(G_VARIANT_TYPE_UINT32, words,
                                                                     2, sizeof(guint32)));
        } else if (method == "GetInterfaces") {
            const char* names[] = {"org.a11y.atspi.Accessible", "org.a11y.atspi.Selection"};
            reply = g_variant_new("(@as)", g_variant_new_strv(names, path == "/list" ? 2 : 1));
        } else if (method == "GetAttributes") {
            GVariantBuilder attributes;
            g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
            if (path == "/item")
                g_variant_builder_add(&attributes, "{ss}", "url", m_url.constData());
            reply = g_variant_new("(a{ss})", &attributes);
        } else if (method == "GetSelectedChild") {
            reply = g_variant_new("((so))", self.constData(), "/item");
        }
        g_dbus_method_invocation_return_value(invocation, reply);
    }
    GVariant* property(const QByteArray&, const QByteArray&, const QByteArray&) override {
        return g_variant_new_int32(1);
    }

    const QByteArray m_url;
    const bool m_windowActive;
};

// The accessibility bus launcher, with its status, and the registry, on the
// sandbox's own bus.
class AccessibilityRegistry : public BusPeer {
public:
    explicit AccessibilityRegistry(QList<QByteArray> applications, bool screenReaderEnabled = false)
        : m_applications(std::move(applications))
        , m_screenReaderEnabled(screenReaderEnabled) {
        exportObject("/org/a11y/bus", "<node><interface name='org.a11y.Bus'>"
                                      "<method name='GetAddress'>"
                                      "<arg type='s' direction='out'/></method>"
                                      "</interface></node>");
        exportObject("/org/a11y/bus", "<node><interface name='org.a11y.Status'><property "
                                      "name='ScreenReaderEnabled' type='b' access='read'/>"
                                      "</interface></node>");
        exportObject(accessibleRootPath, accessibleXml);
        start();
    }
    ~AccessibilityRegistry() override { stopAnswering(); }

private:
    void call(const QByteArray&, const QByteArray&, const QByteArray& method, GVariant*,
              GDBusMethodInvocation* invocation) override {
        if (method == "GetAddress") {
            const QByteArray address = LinuxSandbox::current().busAddress().toUtf8();
            g_dbus_method_invocation_return_value(invocation,
                                                  g_variant_new("(s)", address.constData()));
            return;
        }
        GVariantBuilder children;
        g_variant_builder_init(&children, G_VARIANT_TYPE("a(so)"));
        for (const QByteArray& application : m_applications)
            g_variant_builder_add(&children, "(so)", application.constData(), accessibleRootPath);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(a(so))", &children));
    }
    GVariant* property(const QByteArray&, const QByteArray&, const QByteArray&) override {
        return g_variant_new_boolean(m_screenReaderEnabled);
    }

    const QList<QByteArray> m_applications;
    const bool m_screenReaderEnabled;
};
