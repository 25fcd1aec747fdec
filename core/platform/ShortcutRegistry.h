#pragma once

#include "core/platform/ObserverList.h"
#include "core/platform/Shortcut.h"

#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <utility>

// What became of the system-wide key grab behind a name.
enum class ShortcutGrab {
    active,               // pressing the combination runs the name's handler
    notRegistered,        // no handler, or no shortcut stored under the name
    paused,               // the global switch is off; grabbed again when it is back on
    heldByAnotherProgram, // refused: another program holds the combination
    notBoundByDesktop,    // the desktop has not bound it (not yet, or not at all)
    notOnKeyboard,        // the keyboard layout has no key for it
    unavailable,          // this session offers no global keys (no X11, no portal)
};

// Named global shortcuts ("rule-" + rule id): the stored table of names and
// combinations, the system-wide key handlers for names, the global switch, and
// the notification recorders post while they capture keys.
class ShortcutRegistry {
public:
    using Handler = std::function<void()>;
    using RecorderActiveObserver = std::function<void(const QVariantMap& userInfo)>;
    // The user-info key of the recorder-active notification (a Boolean).
    static constexpr const char* isActiveKey = "isActive";

    virtual ~ShortcutRegistry() = default;

    // The combination stored under `name`, or none.
    virtual std::optional<Shortcut> getShortcut(const QString& name) const = 0;
    // Stores `shortcut` under `name`; none clears the name. Takes effect at once for
    // getShortcut. When a handler is installed for `name`, its grab follows the new
    // combination and the outcome is returned.
    virtual ShortcutGrab setShortcut(const std::optional<Shortcut>& shortcut,
                                     const QString& name) = 0;
    // Runs `action` on the main thread each time the combination stored under `name`
    // is pressed anywhere on the desktop (replacing an earlier handler of `name`).
    virtual ShortcutGrab onKeyDown(const QString& name, Handler action) = 0;
    virtual void removeHandler(const QString& name) = 0;
    // Why the last change of the stored table could not be saved (it then lasts
    // only until Corvanta quits); none after a saved one.
    virtual std::optional<QString> lastSaveError() const { return std::nullopt; }
    // How the grab of `name` stands now.
    virtual ShortcutGrab grabState(const QString& name) const = 0;
    // Told after grab states may have changed: by a call here, or on their own (the
    // desktop bound or dropped keys, the keyboard layout changed).
    int addGrabStateObserver(std::function<void()> observer) {
        return m_grabStateObservers.add(std::move(observer));
    }
    void removeGrabStateObserver(int token) { m_grabStateObservers.remove(token); }

    // The global switch: while off, no handler runs and no combination is held.
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

    // True when a program other than this one holds `shortcut` system-wide, so a
    // handler for it would never run.
    virtual bool isHeldByAnotherProgram(const Shortcut& shortcut) = 0;
    // Whether `shortcut` can be grabbed at all (its key exists on this keyboard).
    virtual bool canRepresent(const Shortcut& shortcut) const = 0;
    // The key a recorder takes for a press of the key with `nativeScanCode` when
    // the key it typed cannot be grabbed: the same key in another keyboard group
    // ("e" for a Cyrillic letter in "ru,us"); none where there is no such key.
    virtual std::optional<Qt::Key> keyOnScanCode(quint32 nativeScanCode) const {
        (void)nativeScanCode;
        return std::nullopt;
    }
    // The desktop's text for a combination: "Super+Shift+E", "Ctrl+Alt+F5".
    virtual QString displayText(const Shortcut& shortcut) const = 0;
    // True where the desktop assigns global shortcuts itself (a portal): it asks the
    // user to confirm each binding, or keeps keys chosen in its own settings, so
    // rule hotkeys may never fire.
    virtual bool desktopConfirmsBindings() const { return false; }
    // What a desktop that lists global shortcuts in its own settings shows for
    // `name`, so the user recognises the rule there; registries that grab keys
    // themselves have no such list.
    virtual void setDescription(const QString& name, const QString& description) {
        (void)name;
        (void)description;
    }

    // Display text of the shortcut stored under `name`; none when unset.
    std::optional<QString> shortcutDisplayText(const QString& name) const {
        const std::optional<Shortcut> shortcut = getShortcut(name);
        if (!shortcut)
            return std::nullopt;
        return displayText(*shortcut);
    }

    // While a recorder records: where a desktop that keeps bound keys from our
    // windows (a portal) sends their presses instead of to the handlers, as the
    // name's stored combination. None ends it.
    void setRecorderFeed(std::function<void(const Shortcut&)> feed) {
        m_recorderFeed = std::move(feed);
    }

    // The recorder-active notification: recorders post it with "isActive" when they
    // start capturing keys and when the capture has ended.
    int addRecorderActiveObserver(RecorderActiveObserver observer) {
        return m_recorderObservers.add(std::move(observer));
    }
    void removeRecorderActiveObserver(int token) { m_recorderObservers.remove(token); }
    void postRecorderActiveStatusDidChange(const QVariantMap& userInfo) {
        m_recorderObservers.notify(userInfo);
    }

protected:
    void grabStatesChanged() const { m_grabStateObservers.notify(); }
    // Hands a press of `shortcut` to the recording recorder; false when none records.
    bool feedRecorder(const Shortcut& shortcut) const {
        if (!m_recorderFeed)
            return false;
        // The recorder may end its feed while taking the press.
        const auto feed = m_recorderFeed;
        feed(shortcut);
        return true;
    }

private:
    std::function<void(const Shortcut&)> m_recorderFeed;
    ObserverList<QVariantMap> m_recorderObservers;
    ObserverList<> m_grabStateObservers;
};
