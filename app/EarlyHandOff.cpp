#include "app/EarlyHandOff.h"

#include "app/OpenArguments.h"
#include "app/SessionBusHandOff.h"

#include <QByteArrayList>

namespace EarlyHandOff {

bool displayAnnounced() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

bool handOver(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "open") != 0)
        return false;
    QList<QByteArray> arguments;
    for (int i = 2; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    // Without a display the full program refuses to start a tray, whether one
    // runs or not.
    if (arguments.isEmpty())
        return displayAnnounced() && SessionBusHandOff::showSettings();
    std::optional<QSet<QString>> hotkeyNames;
    if (OpenArguments::isHotkeyOpen(arguments)) {
        auto request = OpenArguments::hotkeyOpen(arguments);
        if (!request)
            return false;
        hotkeyNames = QSet<QString>(request->hotkeyNames.begin(), request->hotkeyNames.end());
        arguments = std::move(request->files);
    }
    const QList<QUrl> urls = OpenArguments::toURLs(arguments, OpenArguments::currentFolder());
    return !urls.isEmpty() && SessionBusHandOff::route(urls, hotkeyNames);
}

} // namespace EarlyHandOff
