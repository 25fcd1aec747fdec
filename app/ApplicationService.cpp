#include "app/ApplicationService.h"

#include <QTimer>

ApplicationService::ApplicationService(QObject* object, OpenHandler open,
                                       ActionHandler activateAction)
    : QDBusAbstractAdaptor(object)
    , m_open(std::move(open))
    , m_activateAction(std::move(activateAction)) {}

QList<QUrl> ApplicationService::urlsFromURIs(const QStringList& uris) {
    QList<QUrl> urls;
    for (const QString& uri : uris) {
        const QUrl url = QUrl::fromEncoded(uri.toUtf8());
        if (url.isValid() && !url.isRelative())
            urls.append(url);
    }
    return urls;
}

void ApplicationService::Activate(const QVariantMap& platformData) {
    // A tray program has no window to raise.
    Q_UNUSED(platformData);
}

void ApplicationService::Open(const QStringList& uris, const QVariantMap& platformData) {
    Q_UNUSED(platformData);
    const QList<QUrl> urls = urlsFromURIs(uris);
    if (urls.isEmpty())
        return;
    QTimer::singleShot(0, parent(), [open = m_open, urls] { open(urls); });
}

void ApplicationService::ActivateAction(const QString& actionName, const QVariantList& parameter,
                                        const QVariantMap& platformData) {
    Q_UNUSED(parameter);
    Q_UNUSED(platformData);
    QTimer::singleShot(0, parent(),
                       [action = m_activateAction, actionName] { action(actionName); });
}
