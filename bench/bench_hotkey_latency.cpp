// A rule hotkey from the key press (xdotool) to the editor's start, with
// Thunar in front and two files selected, next to `gio open` of the same two
// files launching the same editor, interleaved in one run. The editor only
// stamps the moment it started. Without a display it runs itself under
// xvfb-run and a private session bus, in a throw-away home.
#include "bench/BenchSupport.h"
#include "core/model/LocalFileURL.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/support/RuleBuilders.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {
using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::run;
using BenchSupport::writeFile;

constexpr int rounds = 15;

qsizetype stampCount(const QString& stamps) {
    QFile file(stamps);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

// Milliseconds from `request` to the next editor stamp; -1 on a time-out.
double measure(const QString& stamps, const std::function<void()>& request) {
    const qsizetype before = stampCount(stamps);
    const qint64 start = monotonicNs();
    request();
    QDeadlineTimer deadline(10000);
    while (stampCount(stamps) <= before && !deadline.hasExpired())
        QThread::usleep(500);
    QFile file(stamps);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() <= before + 1)
        return -1;
    return double(lines.at(before).toLongLong() - start) / 1e6;
}

int fail(const char* why) {
    std::printf("bench_hotkey_latency: failed: %s\n", why);
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    if (!BenchSupport::wrapInXvfb(argv))
        return 1;
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    const QString root = home.path();
    const QString stamps = root + QStringLiteral("/stamps");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    // The routing history too: not the user's, which would also make each
    // write as long as theirs.
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/state")));
    qputenv("OPEN_LATENCY_STAMPS", QFile::encodeName(stamps));
    qputenv("GSK_RENDERER", "cairo");
    qputenv("QT_QPA_PLATFORM", "xcb");

    const QString applications = root + QStringLiteral("/data/applications");
    if (!writeFile(applications + QStringLiteral("/bench.Editor.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Bench Editor\nExec=" +
                       QByteArray(EDITOR_PATH) + " %F\nMimeType=text/plain;\n"))
        return fail("cannot write the editor's entry");
    bool ok = false;
    run(QStringLiteral("update-desktop-database"), {applications}, &ok);
    run(QStringLiteral("gio"), {"mime", "text/plain", "bench.Editor.desktop"});

    Route text;
    text.id = QStringLiteral("custom.txt");
    text.name = QStringLiteral("Text");
    text.extensions = {QStringLiteral("txt")};
    text.isCustom = true;
    text.normalizeUtilities();
    Editor editor;
    editor.bundleID = QStringLiteral("bench.Editor");
    editor.name = QStringLiteral("Bench Editor");
    editor.manual = true;
    text.editors = {editor};
    text.activeBundleID = editor.bundleID;
    Rule rule =
        RuleBuilders::rule(RuleBuilders::allOf({}), RuleBuilders::openIn({editor.bundleID}));
    const QString hotkeyName = QStringLiteral("rule-") + rule.id;
    rule.when = RuleBuilders::allOf({RuleBuilders::hotkey(hotkeyName)});
    text.rules = {rule};
    RouteStoreState state;
    state.routes = {text};
    const QString config = root + QStringLiteral("/config/Corvanta");
    if (!writeFile(config + QStringLiteral("/routes.json"), RoutesFileCodec::encode(state)) ||
        !writeFile(config + QStringLiteral("/Corvanta.conf"),
                   "[General]\nhasCompletedMenuBarOnboarding=true\n") ||
        !writeFile(config + QStringLiteral("/shortcuts.json"), R"({"version": 1, "shortcuts": {")" +
                                                                   hotkeyName.toUtf8() +
                                                                   R"(": "Ctrl+Alt+K"}})"))
        return fail("cannot write the settings");
    const QByteArray files = QFile::encodeName(root + QStringLiteral("/files"));
    QDir().mkpath(QFile::decodeName(files));
    const QByteArray first = files + "/beta gamma.txt";
    const QByteArray second = files + "/caf\xe9.txt";
    for (const QByteArray& path : {first, second}) {
        FILE* file = std::fopen(path.constData(), "w");
        if (file)
            std::fclose(file);
    }

    const BenchSupport::ThunarSelection thunar(QFile::decodeName(files));
    const QString& thunarWindow = thunar.window();

    QProcess tray;
    tray.setStandardErrorFile(QProcess::nullDevice());
    tray.start(QStringLiteral(CORVANTA_PATH), {});
    QDeadlineTimer started(20000);
    while (!QDBusConnection::sessionBus()
                .interface()
                ->isServiceRegistered(QStringLiteral("io.corvanta.Corvanta"))
                .value() &&
           !started.hasExpired())
        QThread::msleep(20);
    QThread::msleep(1000);

    std::vector<double> direct, hotkey;
    int failures = 0;
    // As URIs: an argument list of text cannot carry the Latin-1 byte.
    const QStringList uris{QString::fromLatin1(LocalFileURL::fromNativePath(first).toEncoded()),
                           QString::fromLatin1(LocalFileURL::fromNativePath(second).toEncoded())};
    for (int i = 0; i < rounds; ++i) {
        const double viaGio = measure(stamps, [&] {
            QProcess::startDetached(QStringLiteral("gio"),
                                    QStringList{QStringLiteral("open")} + uris);
        });
        run("xdotool", {"windowactivate", "--sync", thunarWindow});
        QThread::msleep(100);
        const double viaHotkey = measure(stamps, [&] {
            // Without its default 12 ms between keys, which would be counted
            // as ours: the grab fires on the last key of the combination.
            QProcess::startDetached(QStringLiteral("xdotool"),
                                    {"key", "--delay", "0", "ctrl+alt+k"});
        });
        if (viaGio < 0 || viaHotkey < 0) {
            ++failures;
            continue;
        }
        direct.push_back(viaGio);
        hotkey.push_back(viaHotkey);
        QThread::msleep(200);
    }
    tray.terminate();
    tray.waitForFinished(5000);
    std::filesystem::remove_all(std::string(files.constData()));
    const double added = median(hotkey) - median(direct);
    std::printf("bench_hotkey_latency: rule hotkey over Thunar (2 files) to editor start: median "
                "%.1f ms; gio open of the same files: median %.1f ms; added %.1f ms [aim: 15 ms "
                "at most: %s]; %d rounds, %d failed\n",
                median(hotkey), median(direct), added, added <= 15 ? "met" : "missed", rounds,
                failures);
    return failures == 0 ? 0 : 1;
}
