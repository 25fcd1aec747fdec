// The in-process decision for one file: the route by extension, the context
// (running applications from /proc and the session bus, the creator from
// extended attributes) and rule evaluation, over 20 routes of 50 rules each.
#include "bench/BenchRoutes.h"
#include "core/engine/OpenContextBuilder.h"
#include "core/engine/RoutingDecision.h"
#include "platform/linux/LinuxPlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int routeCount = 20;
    constexpr int rulesPerRoute = 50;
    constexpr int runs = 300;
    const RouteStoreState state = benchRoutes(routeCount, rulesPerRoute);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notes.ext%1").arg(routeCount - 1));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.close();
    const QUrl url = QUrl::fromLocalFile(path);

    LinuxPlatform linuxPlatform;
    const Platform platform = linuxPlatform.platform();
    const OpenContextBuilder builder(platform.running, platform.metadata);
    int opened = 0;
    auto decideOnce = [&] {
        const QString extension = QStringLiteral("ext%1").arg(routeCount - 1);
        const Route* route = nullptr;
        for (const Route& candidate : state.routes) {
            if (candidate.extensions.contains(extension)) {
                route = &candidate;
                break;
            }
        }
        const OpenContext context = builder.makeOpenContext(url, *route, std::nullopt);
        const RoutingDecision decision = RoutingDecision::decide(*route, context, std::nullopt);
        opened += decision.path == RoutingDecision::Path::open ? 1 : 0;
    };

    QElapsedTimer timer;
    timer.start();
    decideOnce(); // builds the index of installed programs
    const double firstMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    std::vector<double> samples;
    samples.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        timer.restart();
        decideOnce();
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    const double p95 = samples[samples.size() * 95 / 100];
    std::printf("routing decision in process (%d routes x %d rules, running apps + creator + "
                "rules): median %.3f ms, p95 %.3f ms, first %.3f ms, %d runs, target < 2 ms: %s\n",
                routeCount, rulesPerRoute, median, p95, firstMs, runs,
                median < 2.0 && opened == runs + 1 ? "met" : "MISSED");
    return 0;
}
