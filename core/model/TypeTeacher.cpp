#include "core/model/TypeTeacher.h"

#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/RouteStore.h"
#include "core/platform/Alerts.h"

namespace {
bool hasIdentifier(const SampleType& sample) {
    return sample.typeIdentifier && !sample.typeIdentifier->isEmpty();
}

AlertRequest question(const QString& message, const QString& informative, const QString& confirm) {
    AlertRequest alert;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {confirm, QStringLiteral("Cancel")};
    alert.cancelButton = 1;
    alert.style = AlertRequest::Style::informational;
    return alert;
}
} // namespace

TypeTeacher::TypeTeacher(RouteStore& store, const TypeSystem& types, Alerts& alerts,
                         DefaultHandlerClaimer& claimer, ShowSettings showSettings)
    : m_store(store)
    , m_probe(types)
    , m_alerts(alerts)
    , m_claimer(claimer)
    , m_showSettings(std::move(showSettings)) {}

void TypeTeacher::showMissingExtensionAlert() {
    AlertRequest alert;
    alert.messageText = QStringLiteral("No file extension");
    alert.informativeText =
        QStringLiteral("corvanta needs a filename extension to learn a new type.");
    m_alerts.runAlert(alert);
}

void TypeTeacher::showFolderAlert(const QUrl& url) {
    AlertRequest alert;
    alert.messageText = QStringLiteral("“%1” is a folder").arg(url.fileName(QUrl::FullyDecoded));
    alert.informativeText =
        QStringLiteral("corvanta learns a new type from a sample file. Choose a file instead.");
    m_alerts.runAlert(alert);
}

std::optional<QString> TypeTeacher::addTypeFromURL(const QUrl& url) {
    const auto probed = m_probe.probe(url);
    if (const auto* error = std::get_if<FileTypeProbeError>(&probed)) {
        if (*error == FileTypeProbeError::isFolder)
            showFolderAlert(url);
        else
            showMissingExtensionAlert();
        return std::nullopt;
    }
    const SampleType& sample = std::get<SampleType>(probed);

    const std::optional<TypeOverlap> overlap =
        m_store.overlap(sample.extension, sample.typeIdentifier);
    if (!overlap)
        return addNewRoute(sample);
    if (overlap->kind == TypeOverlapKind::partial)
        return addToExistingRoute(sample, overlap->route);

    AlertRequest alert;
    alert.messageText = QStringLiteral("Already managed");
    alert.informativeText = QLatin1Char('.') + sample.extension +
                            QStringLiteral(" is already handled by ") + overlap->route.name +
                            QLatin1Char('.');
    alert.style = AlertRequest::Style::informational;
    m_alerts.runAlert(alert);
    if (m_showSettings)
        m_showSettings(overlap->route.id);
    return overlap->route.id;
}

std::optional<QString> TypeTeacher::addToExistingRoute(const SampleType& sample,
                                                       const Route& route) {
    QString informative = QStringLiteral("Add .") + sample.extension;
    if (hasIdentifier(sample))
        informative += QStringLiteral(" / ") + *sample.typeIdentifier;
    informative += QStringLiteral(" to the existing ") + route.name + QStringLiteral(" route?");
    const AlertRequest alert = question(QStringLiteral("Add to ") + route.name + QLatin1Char('?'),
                                        informative, QStringLiteral("Add"));
    if (m_alerts.runAlert(alert) != 0)
        return std::nullopt;

    const std::optional<Route> updated =
        m_store.addTypeToRoute(route.id, sample.extension, sample.typeIdentifier);
    if (!updated)
        return std::nullopt;
    claimAndShow(sample, updated->id);
    return updated->id;
}

std::optional<QString> TypeTeacher::addNewRoute(const SampleType& sample) {
    QString informative = QStringLiteral("Teach corvanta to route ") + sample.displayName +
                          QStringLiteral(" files ") + QStringLiteral("(.") + sample.extension +
                          QStringLiteral(")?");
    if (hasIdentifier(sample))
        informative += QStringLiteral("\nUTI: ") + *sample.typeIdentifier;
    informative += QStringLiteral("\n\n") + QStringLiteral("You'll pick an editor in Settings.");
    const AlertRequest alert =
        question(QStringLiteral("Add file type?"), informative, QStringLiteral("Add Type"));
    if (m_alerts.runAlert(alert) != 0)
        return std::nullopt;

    const std::optional<Route> created = m_store.addCustomRoute(sample);
    if (!created)
        return std::nullopt;
    claimAndShow(sample, created->id);
    return created->id;
}

void TypeTeacher::claimAndShow(const SampleType& sample, const QString& routeID) {
    m_claimer.claimDefaultHandler(
        m_probe.sampleContentTypes(sample.extension, sample.typeIdentifier));
    if (m_showSettings)
        m_showSettings(routeID);
}
