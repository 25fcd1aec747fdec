#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gio/gio.h>
#include <memory>

// Owning pointers for the GLib objects this folder handles. Nothing here crosses
// into core/: values are turned into Qt types before they leave platform/linux.
struct GObjectDeleter {
    void operator()(gpointer object) const {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct GStrvDeleter {
    void operator()(gchar** strings) const { g_strfreev(strings); }
};
using GStrvPtr = std::unique_ptr<gchar*, GStrvDeleter>;

// GLib's `GError**` out-parameter, owned: pass it where GLib asks for one, then
// test it and read its message; freed at the end of the scope.
class GErrorOut {
public:
    operator GError**() { return &m_error; }
    // Both, so that a test of a non-const one picks these over the GError** above
    // (whose pointer is never null).
    explicit operator bool() { return m_error != nullptr; }
    explicit operator bool() const { return m_error != nullptr; }
    bool matches(GQuark domain, int code) const { return g_error_matches(m_error, domain, code); }
    // The error's message; `fallback` when there is none.
    QString message(const QString& fallback) const {
        return m_error && m_error->message ? QString::fromUtf8(m_error->message) : fallback;
    }
    // Hands the error on to whoever frees it (GIO's take_error calls).
    GError* take() { return std::exchange(m_error, nullptr); }
    GErrorOut() = default;
    GErrorOut(const GErrorOut&) = delete;
    GErrorOut& operator=(const GErrorOut&) = delete;
    ~GErrorOut() { g_clear_error(&m_error); }

private:
    GError* m_error = nullptr;
};

// A GList whose elements are GObjects it owns (the application lists of GIO).
struct GObjectListDeleter {
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using GObjectListPtr = std::unique_ptr<GList, GObjectListDeleter>;

struct GVariantDeleter {
    void operator()(GVariant* value) const {
        if (value)
            g_variant_unref(value);
    }
};
using GVariantPtr = std::unique_ptr<GVariant, GVariantDeleter>;

struct GListDeleter {
    void operator()(GList* list) const { g_list_free(list); }
};
using GListPtr = std::unique_ptr<GList, GListDeleter>;

// A GList of the strings' data, as GIO takes URI lists; it borrows the data, so
// `strings` must outlive it.
inline GListPtr borrowedStringList(const QList<QByteArray>& strings) {
    GList* list = nullptr;
    for (auto it = strings.crbegin(); it != strings.crend(); ++it)
        list = g_list_prepend(list, const_cast<char*>(it->constData()));
    return GListPtr(list);
}

struct GKeyFileDeleter {
    void operator()(GKeyFile* file) const {
        if (file)
            g_key_file_unref(file);
    }
};
using GKeyFilePtr = std::unique_ptr<GKeyFile, GKeyFileDeleter>;

// Text owned by GLib (UTF-8) as a QString; an empty string for null.
inline QString qStringFromUtf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}
