// `corvanta explain --json FILE` run cold as a process, with 20 routes of 50
// rules each in a temporary configuration folder.
#include "bench/BenchRoutes.h"
#include "core/model/RoutesFileCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int runs = 10;
    QTemporaryDir home;
    const QString config = home.filePath(QStringLiteral("config"));
    QDir().mkpath(config + QStringLiteral("/Corvanta"));
    QFile routes(config + QStringLiteral("/Corvanta/routes.json"));
    routes.open(QIODevice::WriteOnly);
    routes.write(RoutesFileCodec::encode(benchRoutes(20, 50)));
    routes.close();
    const QString sample = home.filePath(QStringLiteral("notes.ext19"));
    QFile file(sample);
    file.open(QIODevice::WriteOnly);
    file.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    std::vector<double> samples;
    int failures = 0;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(CORVANTA_PATH),
                      {QStringLiteral("explain"), QStringLiteral("--json"), sample});
        process.waitForFinished(60000);
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (process.exitCode() != 0 || !process.readAllStandardOutput().contains("\"open\""))
            ++failures;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("explain as a cold process (20 routes x 50 rules): median %.1f ms, min %.1f ms, "
                "max %.1f ms, %d runs, %d failed\n",
                samples[samples.size() / 2], samples.front(), samples.back(), runs, failures);
    return failures == 0 ? 0 : 1;
}
