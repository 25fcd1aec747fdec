#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class Workspace;

// The installed applications the settings pages show (names, icons), each
// looked up once per show of the window.
class SettingsApplications {
public:
    explicit SettingsApplications(Workspace& workspace)
        : m_workspace(workspace) {}

    // Applications installed or removed meanwhile show after this.
    void forget() { m_applications.clear(); }
    bool isInstalled(const QString& bundleID) const { return info(bundleID).installed; }
    QIcon icon(const QString& bundleID) const;
    // The application's name, or its id when it is not installed.
    QString displayName(const QString& bundleID) const;

private:
    struct Info {
        bool installed = false;
        QString name;
        QString iconName;
    };
    const Info& info(const QString& bundleID) const;

    Workspace& m_workspace;
    mutable QHash<QString, Info> m_applications;
};
