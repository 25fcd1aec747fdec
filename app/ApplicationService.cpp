#include "app/ApplicationService.h"

#include "app/InstanceBusName.h"
#include "app/OpenArguments.h"

#include <QDBusVariant>
#include <QTimer>

ApplicationService::ApplicationService(QObject* object, OpenHandler open,
                                       ActionHandler activateAction, TokenHandler token)
    : QDBusAbstractAdaptor(object)
    , m_open(std::move(open))
    , m_activateAction(std::move(activateAction))
    , m_token(std::move(token)) {}

std::optional<QString> ApplicationService::activationToken(const QVariantMap& platformData) {
    for (const char* key : InstanceBusName::activationTokenKeys) {
        const QVariant value = platformData.value(QLatin1String(key));
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            return value.toString();
    }
    return std::nullopt;
}

void ApplicationService::takeToken(const QVariantMap& platformData) {
    // Taken at once, before the request waits in the event loop: the picker or
    // alert it leads to is shown with it.
    if (m_token)
        m_token(activationToken(platformData));
}

QStringList ApplicationService::stringsFromParameter(const QVariantList& parameter) {
    QStringList strings;
    for (const QVariant& value : parameter) {
        if (value.typeId() == QMetaType::QString)
            strings.append(value.toString());
        else if (value.typeId() == QMetaType::QStringList)
            strings.append(value.toStringList());
    }
    return strings;
}

std::optional<std::pair<QSet<QString>, QList<QUrl>>>
ApplicationService::hotkeyOpenFromParameter(const QStringList& strings) {
    const qsizetype separator = strings.indexOf(QStringLiteral("--"));
    if (separator < 1)
        return std::nullopt;
    const QStringList names = strings.mid(0, separator);
    return std::pair{QSet<QString>(names.begin(), names.end()),
                     OpenArguments::fromURIs(strings.mid(separator + 1))};
}

void ApplicationService::Activate(const QVariantMap& platformData) {
    // The window it leads to (if any) is shown with the request's token.
    takeToken(platformData);
    if (onActivate)
        QTimer::singleShot(0, parent(), onActivate);
}

void ApplicationService::Open(const QStringList& uris, const QVariantMap& platformData) {
    const QList<QUrl> urls = OpenArguments::fromURIs(uris);
    if (urls.isEmpty())
        return;
    takeToken(platformData);
    QTimer::singleShot(0, parent(), [open = m_open, urls] { open(urls); });
}

void ApplicationService::ActivateAction(const QString& actionName, const QVariantList& parameter,
                                        const QVariantMap& platformData) {
    takeToken(platformData);
    QVariantList values;
    for (const QVariant& value : parameter)
        values.append(value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant()
                                                       : value);
    QTimer::singleShot(0, parent(), [action = m_activateAction, actionName, values] {
        action(actionName, values);
    });
}
