#pragma once

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <utility>

// org.freedesktop.Application for the running instance: file managers, `gio
// open` and `corvanta open` hand files and links to it with Open. Requests are
// answered at once and carried out from the event loop, so a caller never
// waits for an alert or a picker to close.
class ApplicationService : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    using OpenHandler = std::function<void(const QList<QUrl>&)>;
    // The action's name and its parameter (unwrapped from D-Bus variants).
    using ActionHandler = std::function<void(const QString&, const QVariantList&)>;
    // Receives the activation token of each request (none when it has none)
    // before the request is carried out.
    using TokenHandler = std::function<void(const std::optional<QString>&)>;

    ApplicationService(QObject* object, OpenHandler open, ActionHandler activateAction,
                       TokenHandler token = {});

    // Run from the event loop for each `Activate` (the user launching Corvanta).
    std::function<void()> onActivate;

    // The text values of an action parameter (already unwrapped).
    static QStringList stringsFromParameter(const QVariantList& parameter);
    // The parameter of "open-with-hotkeys": hotkey names, "--", URIs. None
    // without the "--" or without names.
    static std::optional<std::pair<QSet<QString>, QList<QUrl>>>
    hotkeyOpenFromParameter(const QStringList& strings);
    // The focus token a caller put in `platform-data`: the XDG activation token,
    // else the X11 startup notification ID.
    static std::optional<QString> activationToken(const QVariantMap& platformData);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    void takeToken(const QVariantMap& platformData);

    OpenHandler m_open;
    ActionHandler m_activateAction;
    TokenHandler m_token;
};
