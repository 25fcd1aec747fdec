#include "app/EarlyHandOff.h"

#include "app/OpenArguments.h"
#include "app/SessionBusHandOff.h"

#include <QByteArrayList>
#include <optional>

namespace EarlyHandOff {

bool displayAnnounced() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

namespace {
// The arguments after `open`; none for another command.
std::optional<QList<QByteArray>> openArguments(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "open") != 0)
        return std::nullopt;
    QList<QByteArray> arguments;
    for (int i = 2; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}
} // namespace

QList<QUrl> plainOpenFiles(int argc, char** argv) {
    const auto arguments = openArguments(argc, argv);
    if (!arguments || OpenArguments::isHotkeyOpen(*arguments))
        return {};
    return OpenArguments::toURLs(*arguments, OpenArguments::currentFolder());
}

bool handOver(int argc, char** argv) {
    std::optional<QList<QByteArray>> arguments = openArguments(argc, argv);
    if (!arguments)
        return false;
    // Without a display the full program refuses to start a tray, whether one
    // runs or not.
    if (arguments->isEmpty())
        return displayAnnounced() && SessionBusHandOff::showSettings();
    std::optional<QSet<QString>> hotkeyNames;
    if (OpenArguments::isHotkeyOpen(*arguments)) {
        auto request = OpenArguments::hotkeyOpen(*arguments);
        if (!request)
            return false;
        hotkeyNames = QSet<QString>(request->hotkeyNames.begin(), request->hotkeyNames.end());
        arguments = std::move(request->files);
    }
    const QList<QUrl> urls = OpenArguments::toURLs(*arguments, OpenArguments::currentFolder());
    return !urls.isEmpty() && SessionBusHandOff::route(urls, hotkeyNames);
}

} // namespace EarlyHandOff
