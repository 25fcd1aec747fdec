#pragma once

#include "platform/linux/TableShortcutRegistry.h"

#include <QHash>
#include <memory>

class X11KeyGrabber;

// The shortcut registry of an X11 session: the stored table, and key handlers as
// passive grabs on the root window. Without an X display the table is still read
// and written, nothing is registered, and that is said once on standard error.
class X11ShortcutRegistry : public TableShortcutRegistry {
public:
    // `display` names the X display ($DISPLAY when empty); the table is at
    // `tablePath` (the default location when none).
    explicit X11ShortcutRegistry(std::optional<QString> tablePath = std::nullopt,
                                 const QByteArray& display = {});
    ~X11ShortcutRegistry() override;

    bool hasDisplay() const;

    ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut, const QString& name) override;
    ShortcutGrab onKeyDown(const QString& name, Handler action) override;
    void removeHandler(const QString& name) override;
    ShortcutGrab grabState(const QString& name) const override;
    void setEnabled(bool enabled) override;
    bool isHeldByAnotherProgram(const Shortcut& shortcut) override;
    bool canRepresent(const Shortcut& shortcut) const override;
    std::optional<Qt::Key> keyOnScanCode(quint32 nativeScanCode) const override;

private:
    struct Registration {
        Handler handler;
        // The combination grabbed for this name, when the grab succeeded.
        std::optional<Shortcut> grabbed;
        ShortcutGrab state = ShortcutGrab::notRegistered;
    };

    // Grabs what `name`'s registration should hold now, releasing what it held.
    void regrab(const QString& name, Registration& registration);
    void release(Registration& registration);
    void pressed(const Shortcut& shortcut) const;
    // Grabs again, in the new mapping, what each registration should hold.
    void keyboardChanged();
    void reportMissingDisplayOnce();
    X11KeyGrabber* grabber() const;

    QByteArray m_display;
    mutable std::unique_ptr<X11KeyGrabber> m_grabber;
    mutable bool m_grabberTried = false;
    QHash<QString, Registration> m_registrations;
    bool m_missingDisplayReported = false;
};
