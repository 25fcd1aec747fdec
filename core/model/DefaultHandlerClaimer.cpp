#include "core/model/DefaultHandlerClaimer.h"

#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"
#include "core/platform/TypeSystem.h"
#include "core/platform/Workspace.h"

namespace {
// Link types by identifier, with the types that stand for them on Linux.
const QStringList& linkTypes() {
    static const QStringList types{
        QStringLiteral("public.url"),
        QStringLiteral("public.file-url"),
        QStringLiteral("com.apple.web-internet-location"),
        QStringLiteral("com.apple.internet-location"),
        QStringLiteral("text/uri-list"),
        QStringLiteral("application/x-mswinurl"),
    };
    return types;
}

const char* const htmlExplanation =
    "macOS treats HTML files as part of the Default Browser setting. Keeping your current "
    "browser means Corvanta will not receive double-clicked HTML files. You can still drop "
    "them on Corvanta or use Open With. To route double-clicks, choose Corvanta when asked; web "
    "links are passed back to your browser.";
} // namespace

DefaultHandlerClaimer::DefaultHandlerClaimer(const TypeSystem& types, Workspace& workspace,
                                             Preferences& preferences, Alerts& alerts)
    : m_types(types)
    , m_workspace(workspace)
    , m_preferences(preferences)
    , m_alerts(alerts) {}

std::optional<QString> DefaultHandlerClaimer::ownLocation() const {
    const std::optional<QString> own = m_workspace.ownBundleID();
    if (!own || own->isEmpty())
        return std::nullopt;
    return m_workspace.locationForBundleID(*own);
}

QStringList DefaultHandlerClaimer::claimableContentTypes(const QStringList& types) const {
    QStringList result;
    for (const QString& type : types) {
        const std::optional<QString> canonical = m_types.recognisedType(type);
        bool link = type.startsWith(QLatin1String("x-scheme-handler/"));
        for (const QString& linkType : linkTypes()) {
            if (type == linkType || (canonical && canonical == m_types.recognisedType(linkType)))
                link = true;
        }
        // Supertypes of link types would make Corvanta the handler of web links.
        if (m_types.conformsTo(QStringLiteral("public.url"), type) ||
            m_types.conformsTo(QStringLiteral("public.stored-url"), type))
            link = true;
        if (!link)
            result.append(type);
    }
    return result;
}

bool DefaultHandlerClaimer::isHTMLType(const QString& type) const {
    if (type == QLatin1String("public.html") || type == QLatin1String("text/html"))
        return true;
    const std::optional<QString> canonical = m_types.recognisedType(type);
    return canonical && canonical == m_types.recognisedType(QStringLiteral("public.html"));
}

AlertRequest DefaultHandlerClaimer::refusalAlert(const QString& type,
                                                 const QString& errorDescription) const {
    AlertRequest alert;
    alert.messageText = QStringLiteral("Could not claim ") + type;
    alert.informativeText =
        isHTMLType(type) ? PlatformTexts::text(htmlExplanation) : errorDescription;
    alert.style = AlertRequest::Style::warning;
    return alert;
}

void DefaultHandlerClaimer::claimDefaultHandler(const QStringList& types) {
    const std::optional<QString> location = ownLocation();
    if (!location)
        return;
    const QStringList claimable = claimableContentTypes(types);
    if (claimable.isEmpty())
        return;
    for (const QString& type : claimable) {
        if (isHTMLType(type)) {
            rememberDefaultBrowser();
            break;
        }
    }
    for (const QString& type : claimable) {
        // The alert text is built now: the completion may outlive this object.
        const AlertRequest refused = refusalAlert(type, QString());
        const bool html = isHTMLType(type);
        Alerts& alerts = m_alerts;
        m_workspace.setDefaultApplication(
            *location, type,
            [&alerts, refused, html](const std::optional<QString>& errorDescription) {
                if (!errorDescription)
                    return;
                AlertRequest alert = refused;
                if (!html)
                    alert.informativeText = *errorDescription;
                alerts.runAlert(alert);
            });
    }
}

void DefaultHandlerClaimer::rememberDefaultBrowser() {
    const std::optional<QString> browser =
        m_workspace.defaultApplicationForScheme(QStringLiteral("https"));
    if (!browser || browser->isEmpty() || browser == m_workspace.ownBundleID())
        return;
    m_preferences.setString(PreferenceKeys::browserHandoffBundleID, *browser);
}
