// Load (with rediscovery and the rewrite), save, and decide for one file, for
// routes files of 10, 100 and 1,000 routes with 50 rules each, on the real
// freedesktop type and application registries. Prints one line per size and
// the growth factor, which must stay close to linear.
#include "bench/BenchRoutes.h"
#include "bench/BenchSupport.h"
#include "core/engine/OpenContextBuilder.h"
#include "core/engine/RoutingDecision.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "platform/linux/LinuxPlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
QByteArray routesFile(int routeCount) {
    return RoutesFileCodec::encode(benchRoutes(routeCount, 50));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    LinuxPlatform linuxPlatform;
    const Platform platform = linuxPlatform.platform();
    QTemporaryDir dir;
    double previousLoad = 0;
    for (int count : {10, 100, 1000}) {
        const QString path = dir.filePath(QStringLiteral("routes-%1.json").arg(count));
        const QByteArray data = routesFile(count);
        std::vector<double> load, save, decide;
        for (int round = 0; round < 5; ++round) {
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                out.write(data) != data.size())
                return 1;
            out.close();
            QElapsedTimer timer;
            timer.start();
            RouteStore store(platform.types, platform.workspace, path);
            load.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            store.save();
            save.push_back(timer.nsecsElapsed() / 1e6);

            const OpenContextBuilder builder(platform.running, platform.metadata);
            const QUrl file(QUrl::fromLocalFile(QStringLiteral("/tmp/notes.ext%1").arg(count - 1)));
            for (int i = 0; i < 20; ++i) {
                timer.restart();
                const auto route = store.routeForFile(file);
                const OpenContext context = builder.makeOpenContext(file, *route, std::nullopt);
                const RoutingDecision decision =
                    RoutingDecision::decide(*route, context, std::nullopt);
                decide.push_back(timer.nsecsElapsed() / 1e6);
                if (decision.path != RoutingDecision::Path::open)
                    return 1;
            }
        }
        const double loadMs = BenchSupport::median(load);
        std::printf("store_scale routes=%d rules=%d load_ms=%.1f save_ms=%.1f decide_ms=%.3f "
                    "bytes=%lld load_growth=%s\n",
                    count, count * 50, loadMs, BenchSupport::median(save),
                    BenchSupport::median(decide), static_cast<long long>(data.size()),
                    previousLoad > 0 ? qPrintable(QString::number(loadMs / previousLoad, 'f', 1) +
                                                  QStringLiteral("x"))
                                     : "-");
        previousLoad = loadMs;
    }
    return 0;
}
