#pragma once

#include "core/selection/FileSelectionResolver.h"

#include <QIODevice>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

class FrontmostApplication;

// `corvanta selection [--after SECONDS] [--json]`: waits, then prints what a
// rule hotkey would read from the frontmost file manager: one path per line
// (its bytes as they are), or with --json one object naming the frontmost
// application, the source that answered and the files.
class SelectionCommand {
public:
    struct Options {
        double afterSeconds = 0;
        bool json = false;
    };
    // None with `error` set for a usage error.
    static std::optional<Options> parse(const QStringList& arguments, QString& error);

    SelectionCommand(QIODevice& out, const FrontmostApplication& frontmost,
                     FileSelectionResolver resolver, std::function<void(int)> sleepMs);
    // Exit status: 0 files were found, 1 none.
    int run(const Options& options);

    // Builds the freedesktop platform with the application's default flags.
    static int runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err);
    static const char* usage();

private:
    QIODevice& m_out;
    const FrontmostApplication& m_frontmost;
    FileSelectionResolver m_resolver;
    std::function<void(int)> m_sleepMs;
};
