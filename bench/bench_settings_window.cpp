// The settings window on a routes file of 100 routes with 50 rules each, on the
// real freedesktop registries: its first show, later shows, switching routes,
// and resident memory after 100 show/close cycles against the first. Runs on
// the display it is given, else off screen. Aims: first show under 200 ms,
// later shows under 50 ms, a switch under 30 ms, memory within 2 MB.
#include "bench/BenchRoutes.h"
#include "bench/BenchSupport.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "core/settings/DesktopSettingsChoosers.h"
#include "core/settings/PermissionTilesView.h"
#include "core/settings/RegistryRuleHotkeys.h"
#include "core/settings/SettingsWindowController.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
double residentMB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                             : 0;
}

// Shows the window and waits until the display has it.
double timedShow(SettingsWindowController& window, const std::optional<QString>& routeID) {
    QElapsedTimer timer;
    timer.start();
    window.show(routeID);
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LinuxPlatform linuxPlatform;
    const Platform platform = linuxPlatform.platform();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("routes.json"));
    QFile out(path);
    const QByteArray data = RoutesFileCodec::encode(benchRoutes(100, 50));
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
        return 1;
    out.close();
    RouteStore store(platform.types, platform.workspace, path);
    const QList<Route> routes = store.routes();
    DesktopSettingsChoosers choosers(platform.workspace);
    HotkeyRecordingPeriod period(platform.shortcuts, &QGuiApplication::queryKeyboardModifiers);
    RegistryRuleHotkeys hotkeys(platform.shortcuts, period);

    // The route with the most rules, so that every show builds 50 rule rows.
    QString busiest = routes.first().id;
    qsizetype most = -1;
    for (const Route& route : routes) {
        if (route.rules.size() > most) {
            most = route.rules.size();
            busiest = route.id;
        }
    }

    // A running tray has Qt's style, fonts and icon theme loaded before the
    // window is ever asked for; a small window stands in for that.
    {
        QPushButton warmUp(QStringLiteral("Corvanta"));
        warmUp.show();
        QCoreApplication::processEvents();
    }

    QElapsedTimer timer;
    timer.start();
    SettingsWindowController window(store, platform, choosers, hotkeys, {});
    const double built = timer.nsecsElapsed() / 1e6;
    window.show(busiest);
    QCoreApplication::processEvents();
    const double first = timer.nsecsElapsed() / 1e6;
    // The parts of a show: the permission probes and the reload.
    timer.restart();
    window.permissionTiles()->refresh();
    const double probes = timer.nsecsElapsed() / 1e6;
    timer.restart();
    window.reload();
    const double reload = timer.nsecsElapsed() / 1e6;

    std::vector<double> later;
    for (int i = 0; i < 20; ++i) {
        window.close();
        QCoreApplication::processEvents();
        later.push_back(timedShow(window, busiest));
    }

    std::vector<double> switches;
    auto* popup = window.findChild<QComboBox*>(QStringLiteral("routePopUpButton"));
    for (int i = 0; i < 40; ++i) {
        const int index = (i * 7 + 3) % popup->count();
        timer.restart();
        popup->setCurrentIndex(index);
        Q_EMIT popup->activated(index);
        QCoreApplication::processEvents();
        switches.push_back(timer.nsecsElapsed() / 1e6);
    }

    // One show and close of a route, with the event loop's clean-up after it.
    const auto cycle = [&](int i) {
        window.show(routes.at(i % routes.size()).id);
        QCoreApplication::processEvents();
        window.close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    cycle(0);
    const double before = residentMB();
    for (int i = 1; i <= 100; ++i)
        cycle(i);
    const double after = residentMB();

    std::printf("bench_settings_window: %lld routes x %lld rules: first show %.1f ms (built in "
                "%.1f; permission probes %.1f, reload %.1f), later shows %.1f ms (median of 20), "
                "route switch %.1f ms (median of 40), resident %.1f MB after the first show/close "
                "-> %.1f MB after 100 more (%+.2f MB)\n",
                static_cast<long long>(routes.size()), static_cast<long long>(most), first, built,
                probes, reload, BenchSupport::median(later), BenchSupport::median(switches), before,
                after, after - before);
    return 0;
}
