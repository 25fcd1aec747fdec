#pragma once

#include "core/platform/Workspace.h"
#include "platform/linux/DesktopEntryCache.h"

// Installed applications as desktop entries through GIO: the desktop file ID
// without ".desktop" is the bundle identifier, the entry's path its location.
class GioWorkspace : public Workspace {
public:
    static constexpr const char* ownDesktopID = "io.corvanta.Corvanta";

    QStringList editorRoleHandlers(const QString& type) const override;
    QStringList viewerRoleHandlers(const QString& type) const override;
    QStringList applicationsForType(const QString& type) const override;
    QStringList applicationsForURL(const QUrl& url) const override;
    std::optional<QString> locationForBundleID(const QString& bundleID) const override;
    std::optional<QString> bundleIDForLocation(const QString& location) const override;
    QString applicationName(const QString& location) const override;
    QString applicationIconName(const QString& location) const override;
    QList<InstalledApplication> installedApplications() const override;
    std::optional<QString> ownBundleID() const override;
    std::optional<QString> defaultApplicationForScheme(const QString& scheme) const override;
    // Completes before returning (GIO answers it synchronously), on the calling
    // thread, which is the main thread.
    void setDefaultApplication(const QString& location, const QString& type,
                               Completion completion) override;
    // Completes from the event loop on the main thread, once the application
    // started or answered its D-Bus activation.
    void openURLs(const QList<QUrl>& urls, const QString& location, Completion completion) override;
    bool openURL(const QUrl& url) override;

    // The URI handed to an application for `url`: file URLs keep their path
    // bytes exactly, whatever their encoding.
    static QByteArray launchURI(const QUrl& url);

    // The token the desktop handed in with the current request, passed on to
    // launched editors (startup notification / XDG activation).
    using TokenSource = std::function<std::optional<QString>()>;
    void setActivationTokenSource(TokenSource source) { m_activationToken = std::move(source); }

private:
    GObjectPtr<GDesktopAppInfo> infoForBundleID(const QString& bundleID) const;
    GObjectPtr<GDesktopAppInfo> infoForLocation(const QString& location) const;
    GObjectPtr<GDesktopAppInfo> launchableInfoForLocation(const QString& location) const;

    TokenSource m_activationToken;
    mutable DesktopEntryCache m_entries;
};
