#pragma once

#include <QByteArray>
#include <QList>
#include <gio/gio.h>
#include <thread>

// Another client of the sandbox's private bus: owns names, exports objects and
// emits signals, answering from its own thread (its own GLib main context)
// while the code under test blocks on a call or waits in its event loop.
// Export objects, then start(); subclasses stop answering in their destructor,
// before their members go.
class BusPeer {
public:
    BusPeer();
    virtual ~BusPeer();
    BusPeer(const BusPeer&) = delete;
    BusPeer& operator=(const BusPeer&) = delete;

    bool connected() const { return m_bus != nullptr; }
    GDBusConnection* connection() const { return m_bus; }
    bool own(const char* name);
    // Exports the first interface of `xml` at `path`; method calls and property
    // reads reach `call` and `property` on the peer's thread. Before start(), or
    // on the peer's thread.
    bool exportObject(const char* path, const char* xml);
    void start();
    void stopAnswering();
    // Emits a signal to every listener; `parameters` is consumed.
    void emitSignal(const char* path, const char* interface, const char* member,
                    GVariant* parameters);

protected:
    // Unanswered calls fail with UnknownMethod.
    virtual void call(const QByteArray& path, const QByteArray& interface, const QByteArray& method,
                      GVariant* parameters, GDBusMethodInvocation* invocation);
    // A new value, or null for an error.
    virtual GVariant* property(const QByteArray& path, const QByteArray& interface,
                               const QByteArray& name);

private:
    GMainContext* m_context;
    GMainLoop* m_loop;
    GDBusConnection* m_bus = nullptr;
    QList<GDBusNodeInfo*> m_nodes;
    std::thread m_thread;
};
