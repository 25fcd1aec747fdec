#pragma once

#include "core/utilities/ExternalUtilityRef.h"

#include <QMetaType>
#include <QString>

// What a tray menu item for an external utility carries: the route whose menu
// offered it and the utility. Fixed at creation.
class ExternalUtilityMenuPayload {
public:
    ExternalUtilityMenuPayload() = default;
    ExternalUtilityMenuPayload(QString routeID, ExternalUtilityRef ref)
        : m_routeID(std::move(routeID))
        , m_ref(std::move(ref)) {}

    const QString& routeID() const { return m_routeID; }
    const ExternalUtilityRef& ref() const { return m_ref; }
    bool operator==(const ExternalUtilityMenuPayload&) const = default;

private:
    QString m_routeID;
    ExternalUtilityRef m_ref;
};
Q_DECLARE_METATYPE(ExternalUtilityMenuPayload)
