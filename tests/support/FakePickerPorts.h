#pragma once

#include "core/platform/Clipboard.h"
#include "core/platform/FileRevealer.h"
#include "core/platform/TerminalLauncher.h"

#include <QHash>
#include <QList>

// Clipboard in memory; `accepts` false makes writes fail.
class FakeClipboard : public Clipboard {
public:
    QString text;
    bool accepts = true;
    bool setText(const QString& value) override {
        if (accepts)
            text = value;
        return accepts;
    }
};

class FakeFileRevealer : public FileRevealer {
public:
    QList<QList<QUrl>> requests;
    void reveal(const QList<QUrl>& files) override { requests.append(files); }
};

// Records launches; a location in `failures` completes with that error. With
// `hold` set, completions wait in `pending` until a test runs them.
class FakeTerminalLauncher : public TerminalLauncher {
public:
    QList<std::pair<QString, QStringList>> launches;
    QHash<QString, std::optional<QString>> failures;
    QList<std::function<void()>> pending;
    bool hold = false;
    void launchInFolders(const QString& location, const QStringList& folders,
                         Completion completion) override {
        launches.append({location, folders});
        pending.append([completion, error = failures.value(location)] { completion(error); });
        if (!hold)
            pending.takeLast()();
    }
};
