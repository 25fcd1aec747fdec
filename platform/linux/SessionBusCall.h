#pragma once

#include "platform/linux/GLibPointers.h"

// A blocking method call on the session bus through GDBus, which never starts
// the service it calls. GDBus keeps its connection and worker thread for the
// life of the process and tears nothing down at exit, so a command may end at
// any moment after a call; Qt's bus thread cannot, which made short-lived
// commands crash at exit while it still decoded a message.
namespace SessionBusCall {
// GIO's shared session bus connection; null when no session bus is announced
// or it cannot be reached.
GObjectPtr<GDBusConnection> sessionBus();
// The reply's body, or null when there is no session bus, the call fails or
// times out, or the reply is not of `replyType`.
GVariantPtr call(const char* service, const char* path, const char* interface, const char* method,
                 GVariant* parameters, const char* replyType, int timeoutMs);
// A Boolean D-Bus property; false when it cannot be read or is not a Boolean.
bool booleanProperty(const char* service, const char* path, const char* interface,
                     const char* property, int timeoutMs);
} // namespace SessionBusCall
