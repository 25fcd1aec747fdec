#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

class ProcessRunner;
struct ScriptableFileManager;

// Runs an installed selection helper and turns what it prints into file URLs.
class SelectionScriptRunner {
public:
    struct Outcome {
        enum class Kind { succeeded, missingScript, failed };
        Kind kind = Kind::failed;
        // For `succeeded`: the files, possibly none.
        QList<QUrl> urls;
        bool operator==(const Outcome&) const = default;

        static Outcome succeeded(QList<QUrl> urls) { return {Kind::succeeded, std::move(urls)}; }
        static Outcome missingScript() { return {Kind::missingScript, {}}; }
        static Outcome failed() { return {Kind::failed, {}}; }
    };

    // The bound for a hotkey's selection, and for the status the settings window shows.
    static constexpr double selectionTimeout = 5.0;
    static constexpr double statusTimeout = 2.0;
    // More output than this is no selection anyone made.
    static constexpr qsizetype outputLimit = 16 * 1024 * 1024;

    explicit SelectionScriptRunner(ProcessRunner& processes)
        : m_processes(processes) {}

    // Runs `folder/scriptFileName --print0`, waiting at most `timeoutSeconds`;
    // a helper still running then is killed with everything it started.
    Outcome run(const QString& scriptFileName, const std::optional<QString>& folder,
                double timeoutSeconds) const;
    // Runs the file manager's helper from the Application Scripts folder.
    Outcome run(const ScriptableFileManager& manager,
                double timeoutSeconds = selectionTimeout) const;
    // The files a hotkey gets from the helper: none unless it succeeded.
    QList<QUrl> selectedFiles(const ScriptableFileManager& manager) const;

    // Absolute paths, NUL-separated when the output holds a NUL and one a line
    // otherwise, as file URLs that keep the bytes of each path. Empty entries
    // and relative paths are left out.
    static QList<QUrl> urlsFromOutput(const QByteArray& output);

private:
    ProcessRunner& m_processes;
};
