#include "platform/linux/X11ShortcutRegistry.h"

#include "platform/linux/QtX11Connection.h"
#include "platform/linux/X11KeyGrabber.h"

X11ShortcutRegistry::X11ShortcutRegistry(std::optional<QString> tablePath,
                                         const QByteArray& display)
    : TableShortcutRegistry(tablePath)
    , m_display(display) {}

X11ShortcutRegistry::~X11ShortcutRegistry() = default;

X11KeyGrabber* X11ShortcutRegistry::grabber() const {
    // Connected on first use: commands that only read the table never talk to X.
    if (!m_grabberTried) {
        m_grabberTried = true;
        // Qt draws elsewhere (a Wayland compositor without the shortcuts portal):
        // keys grabbed on Xwayland would reach us only over X11 windows.
        if (x11IsOffLimits())
            return nullptr;
        auto grabber = std::make_unique<X11KeyGrabber>(m_display);
        if (grabber->isConnected()) {
            QObject::connect(grabber.get(), &X11KeyGrabber::pressed, grabber.get(),
                             [this](const Shortcut& shortcut) { pressed(shortcut); });
            // Made on the first look-up, const or not; the registry itself is never const.
            auto* self = const_cast<X11ShortcutRegistry*>(this);
            QObject::connect(grabber.get(), &X11KeyGrabber::keyboardChanged, grabber.get(),
                             [self] { self->keyboardChanged(); });
            m_grabber = std::move(grabber);
            if (qgetenv("XDG_SESSION_TYPE") == "wayland")
                qWarning("Corvanta: this is a Wayland session; rule hotkeys reach Corvanta only "
                         "while an X11 program has the focus");
        }
    }
    return m_grabber.get();
}

bool X11ShortcutRegistry::hasDisplay() const {
    return grabber() != nullptr;
}

ShortcutGrab X11ShortcutRegistry::setShortcut(const std::optional<Shortcut>& shortcut,
                                              const QString& name) {
    m_table.set(name, shortcut);
    const auto it = m_registrations.find(name);
    if (it == m_registrations.end())
        return ShortcutGrab::notRegistered;
    regrab(name, *it);
    grabStatesChanged();
    return it->state;
}

ShortcutGrab X11ShortcutRegistry::onKeyDown(const QString& name, Handler action) {
    Registration& registration = m_registrations[name];
    registration.handler = std::move(action);
    regrab(name, registration);
    grabStatesChanged();
    return registration.state;
}

void X11ShortcutRegistry::removeHandler(const QString& name) {
    const auto it = m_registrations.find(name);
    if (it == m_registrations.end())
        return;
    release(*it);
    m_registrations.erase(it);
    grabStatesChanged();
}

ShortcutGrab X11ShortcutRegistry::grabState(const QString& name) const {
    const auto it = m_registrations.constFind(name);
    return it == m_registrations.constEnd() ? ShortcutGrab::notRegistered : it->state;
}

void X11ShortcutRegistry::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    // Off means off for the whole desktop: a recorder must receive the very
    // combinations the rules hold, so nothing stays grabbed.
    for (auto it = m_registrations.begin(); it != m_registrations.end(); ++it)
        regrab(it.key(), *it);
    grabStatesChanged();
}

void X11ShortcutRegistry::keyboardChanged() {
    for (auto it = m_registrations.begin(); it != m_registrations.end(); ++it) {
        // A grab the new mapping could not take again is held no more.
        if (it->grabbed && !m_grabber->holds(*it->grabbed))
            it->grabbed.reset();
        regrab(it.key(), *it);
    }
    grabStatesChanged();
}

bool X11ShortcutRegistry::isHeldByAnotherProgram(const Shortcut& shortcut) {
    X11KeyGrabber* keys = grabber();
    return keys && keys->isHeldByAnotherProgram(shortcut);
}

bool X11ShortcutRegistry::canRepresent(const Shortcut& shortcut) const {
    const X11KeyGrabber* keys = grabber();
    if (!keys) // nothing to ask; any key Qt can name can be stored
        return shortcut.key != Qt::Key_unknown;
    return keys->canRepresent(shortcut);
}

std::optional<Qt::Key> X11ShortcutRegistry::keyOnScanCode(quint32 nativeScanCode) const {
    const X11KeyGrabber* keys = grabber();
    return keys ? keys->keyOnKeycode(nativeScanCode) : std::nullopt;
}

void X11ShortcutRegistry::release(Registration& registration) {
    if (registration.grabbed && m_grabber)
        m_grabber->ungrab(*registration.grabbed);
    registration.grabbed.reset();
    registration.state = ShortcutGrab::notRegistered;
}

void X11ShortcutRegistry::regrab(const QString& name, Registration& registration) {
    const std::optional<Shortcut> shortcut = m_table.get(name);
    if (registration.grabbed && shortcut == registration.grabbed && m_enabled)
        return; // already holds what it should
    release(registration);
    if (!shortcut)
        return;
    if (!grabber()) {
        reportMissingDisplayOnce();
        registration.state = ShortcutGrab::unavailable;
        return;
    }
    if (!m_enabled) {
        registration.state = ShortcutGrab::paused;
        return;
    }
    switch (m_grabber->grab(*shortcut)) {
    case X11KeyGrabber::Result::grabbed:
        registration.grabbed = shortcut;
        registration.state = ShortcutGrab::active;
        break;
    case X11KeyGrabber::Result::heldByAnotherProgram:
        registration.state = ShortcutGrab::heldByAnotherProgram;
        qWarning("Corvanta: %s (shortcut %s) does nothing: another program holds the keys",
                 qUtf8Printable(displayText(*shortcut)), qUtf8Printable(name));
        break;
    case X11KeyGrabber::Result::unknownKey:
        registration.state = ShortcutGrab::notOnKeyboard;
        qWarning("Corvanta: %s (shortcut %s) does nothing: this keyboard has no such key",
                 qUtf8Printable(displayText(*shortcut)), qUtf8Printable(name));
        break;
    case X11KeyGrabber::Result::noDisplay:
        registration.state = ShortcutGrab::unavailable;
        break;
    }
}

void X11ShortcutRegistry::pressed(const Shortcut& shortcut) const {
    if (!m_enabled)
        return;
    QList<Handler> handlers;
    for (const Registration& registration : std::as_const(m_registrations)) {
        if (registration.grabbed == shortcut)
            handlers.append(registration.handler);
    }
    // Handlers may change the registrations; they run from a copy.
    for (const Handler& handler : handlers)
        handler();
}

void X11ShortcutRegistry::reportMissingDisplayOnce() {
    if (m_missingDisplayReported)
        return;
    m_missingDisplayReported = true;
    if (x11IsOffLimits())
        qWarning("Corvanta: this desktop offers no global shortcuts (no GlobalShortcuts portal); "
                 "rule hotkeys are kept but cannot be pressed in this session");
    else
        qWarning("Corvanta: no X11 display; rule hotkeys are kept but cannot be pressed in this "
                 "session");
}
