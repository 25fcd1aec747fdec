#pragma once

#include "core/utilities/ExternalUtilityCatalog.h"
#include "core/utilities/ExternalUtilityRef.h"
#include "core/utilities/FileManagerActions.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

#include "core/platform/ProcessRunner.h"

// Runs a Shortcut, Service or script chosen in a picker.
class ExternalUtilityRunning {
public:
    virtual ~ExternalUtilityRunning() = default;
    // A failure message for the user, or none.
    virtual std::optional<QString> run(const ExternalUtilityRef& ref, const QList<QUrl>& files) = 0;
};

// Runs one enabled Shortcut, Service (a file manager's action) or script on
// files. Every run returns a message for the user, or none for success. Only
// a failed start is reported for programs that are not waited for.
class ExternalUtilityRunner : public ExternalUtilityRunning {
public:
    struct Folders {
        // $XDG_DATA_HOME, where the scripts folders are.
        QString dataHome;
        FileManagerActionFolders actions;
        static Folders fromEnvironment();
    };
    using Tools = ExternalUtilityCatalog::Tools;
    static constexpr std::chrono::milliseconds applicationScriptsTimeout{60000};
    // A waited script printing more than this is stopped: its output is kept
    // in memory until it ends.
    static constexpr qsizetype waitedOutputLimit = 4 * 1024 * 1024;

    ExternalUtilityRunner(ProcessRunner& processes, Folders folders);
    ExternalUtilityRunner(ProcessRunner& processes, Folders folders, Tools tools);

    std::optional<QString> runShortcut(const QString& id, const QString& name,
                                       const QList<QUrl>& files);
    std::optional<QString> runService(const QString& id, const QString& name,
                                      const QList<QUrl>& files);
    std::optional<QString> runScript(const QString& relativePath, const QString& name,
                                     const QList<QUrl>& files, bool usesApplicationScripts);
    // By the reference's kind.
    std::optional<QString> run(const ExternalUtilityRef& ref, const QList<QUrl>& files,
                               bool usesApplicationScripts);
    // Scripts as the script mode set last says.
    std::optional<QString> run(const ExternalUtilityRef& ref, const QList<QUrl>& files) override {
        return run(ref, files, m_usesApplicationScripts);
    }
    void setUsesApplicationScripts(bool uses) { m_usesApplicationScripts = uses; }

private:
    enum class ActionStart { started, failed, refused };
    ActionStart runAction(const FileManagerAction& action, const QList<QUrl>& files);
    std::optional<QString> runWaited(ProcessRequest request, const QString& loadFailure,
                                     const QString& timeoutMessage);

    ProcessRunner& m_processes;
    Folders m_folders;
    Tools m_tools;
    bool m_usesApplicationScripts = false;
};
