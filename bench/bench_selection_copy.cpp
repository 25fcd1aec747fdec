// The selection step of a rule hotkey with Thunar in front and two files
// selected: save the user's clipboard, release held keys, Ctrl+C, wait for the
// new clipboard owner, read the URI list, restore the clipboard. Each run
// starts from a clipboard owned by another program (xclip), as a user's is.
// Without a display it runs itself under xvfb-run and a private session bus.
#include "bench/BenchSupport.h"
#include "core/selection/FileSelectionResolver.h"
#include "core/selection/ScriptableFileManager.h"
#include "platform/linux/AtspiAccessibilitySelection.h"
#include "platform/linux/X11ClipboardSelection.h"
#include "platform/linux/X11FrontmostApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

using BenchSupport::median;

int main(int argc, char** argv) {
    if (!BenchSupport::wrapInXvfb(argv, true))
        return 1;
    QCoreApplication app(argc, argv);
    constexpr int runs = 25;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("GSK_RENDERER", "cairo");
    const QByteArray folder = QFile::encodeName(home.filePath(QStringLiteral("files")));
    QDir().mkpath(QFile::decodeName(folder));
    for (const QByteArray& name : {QByteArray("beta gamma.txt"), QByteArray("caf\xe9.bin")}) {
        FILE* file = std::fopen((folder + '/' + name).constData(), "w");
        if (file)
            std::fclose(file);
    }
    const BenchSupport::ThunarSelection thunar(QFile::decodeName(folder));

    X11ClipboardSelection selection;
    X11FrontmostApplication frontmost;
    AtspiAccessibilitySelection accessibility(frontmost);
    const FileSelectionResolver resolver =
        FileSelectionResolver::make({frontmost, accessibility, selection}, true, false);
    std::vector<double> total, save, copy, read, restore, whole;
    int failures = 0;
    for (int i = 0; i < 2 * runs; ++i) {
        // Odd runs: the whole resolver (active window, AT-SPI, copy, cleaning).
        const bool resolving = i % 2 == 1;
        QProcess seed;
        seed.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "UTF8_STRING"});
        seed.write("clipboard before the hotkey " + QByteArray::number(i));
        seed.closeWriteChannel();
        seed.waitForFinished(5000);
        QThread::msleep(50);
        QElapsedTimer clock;
        clock.start();
        const QList<QUrl> urls = resolving
                                     ? resolver.selectedFileURLs()
                                     : selection.copySelection(ScriptableFileManager::thunar());
        const double elapsed = clock.nsecsElapsed() / 1e6;
        const X11ClipboardSelection::Timings& t = selection.lastTimings();
        // This process owns the restored clipboard now: it answers while xclip reads.
        QProcess check;
        check.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"});
        QElapsedTimer waited;
        waited.start();
        while (!check.waitForFinished(0) && waited.elapsed() < 5000)
            selection.serveClipboard(QDeadlineTimer(10));
        const bool restored =
            check.readAllStandardOutput() == "clipboard before the hotkey " + QByteArray::number(i);
        if (qEnvironmentVariableIsSet("BENCH_DEBUG"))
            std::fprintf(stderr, "run %d: %lld files, restored %d, %.1f ms\n", i,
                         qlonglong(urls.size()), restored, elapsed);
        if (urls.size() != 2 || !restored) {
            ++failures;
            continue;
        }
        if (resolving) {
            whole.push_back(elapsed);
            continue;
        }
        total.push_back(t.restored / 1000.0);
        save.push_back(t.saved / 1000.0);
        copy.push_back((t.ownerChanged - t.saved) / 1000.0);
        read.push_back((t.read - t.ownerChanged) / 1000.0);
        restore.push_back((t.restored - t.read) / 1000.0);
    }
    if (qEnvironmentVariableIsSet("BENCH_DEBUG")) {
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            const auto id = frontmost.frontmostBundleID();
            const double a = clock.nsecsElapsed() / 1e6;
            const bool trusted = accessibility.isTrusted();
            const double b = clock.nsecsElapsed() / 1e6;
            const auto urls = accessibility.selectedFileURLs();
            const double c = clock.nsecsElapsed() / 1e6;
            std::fprintf(stderr, "frontmost %s %.1f ms, trusted %d %.1f ms, walk %lld %.1f ms\n",
                         qPrintable(id.value_or("-")), a, trusted, b - a, qlonglong(urls.size()),
                         c - b);
        }
    }
    // Qt cannot remove a name that is not UTF-8.
    std::filesystem::remove_all(std::string(folder.constData()));
    std::vector<double> sorted = total;
    std::sort(sorted.begin(), sorted.end());
    std::printf("selection step with Thunar, 2 files: median %.1f ms (save %.1f, keys to new "
                "owner %.1f, read %.1f, restore %.1f), min %.1f ms, max %.1f ms, %d runs, "
                "%d failed; whole resolver (active window, AT-SPI, copy) median %.1f ms\n",
                median(total), median(save), median(copy), median(read), median(restore),
                sorted.empty() ? 0 : sorted.front(), sorted.empty() ? 0 : sorted.back(), runs,
                failures, median(whole));
    return failures == 0 ? 0 : 1;
}
