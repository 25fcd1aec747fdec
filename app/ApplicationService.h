#pragma once

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

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

    ApplicationService(QObject* object, OpenHandler open, ActionHandler activateAction);

    // URIs as D-Bus carries them (percent-encoded), read without loss.
    static QList<QUrl> urlsFromURIs(const QStringList& uris);
    // The text values of an action parameter (already unwrapped).
    static QStringList stringsFromParameter(const QVariantList& parameter);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    OpenHandler m_open;
    ActionHandler m_activateAction;
};
