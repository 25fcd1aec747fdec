#include "platform/linux/DesktopSettingsCommand.h"

#include "platform/linux/GLibPointers.h"

#include <QProcess>
#include <QStandardPaths>

#include <gio/gdesktopappinfo.h>

namespace {
GObjectPtr<GDesktopAppInfo> desktopEntry(const QString& id) {
    const QByteArray name = (id + QStringLiteral(".desktop")).toUtf8();
    return GObjectPtr<GDesktopAppInfo>(g_desktop_app_info_new(name.constData()));
}
} // namespace

bool DesktopSettingsCommand::launch() const {
    if (!desktopID.isEmpty()) {
        const GObjectPtr<GDesktopAppInfo> info = desktopEntry(desktopID);
        return info && g_app_info_launch(G_APP_INFO(info.get()), nullptr, nullptr, nullptr);
    }
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program.first(), program.mid(1));
}

QStringList DesktopSettingsCommand::currentDesktops() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
}

bool DesktopSettingsCommand::desktopEntryExists(const QString& desktopID) {
    return bool(desktopEntry(desktopID));
}

bool DesktopSettingsCommand::programExists(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}
