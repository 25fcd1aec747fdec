#pragma once

#include "core/platform/Clipboard.h"
#include "core/platform/FileRevealer.h"
#include "core/platform/TerminalLauncher.h"

#include <QHash>
#include <QList>

// Clipboard in memory; `accepts` false makes the next writes fail.
class FakeClipboard : public Clipboard {
public:
    QString text;
    int writes = 0;
    bool accepts = true;
    bool setText(const QString& value) override {
        ++writes;
        if (!accepts)
            return false;
        text = value;
        return true;
    }
};

class FakeFileRevealer : public FileRevealer {
public:
    QList<QList<QUrl>> requests;
    void reveal(const QList<QUrl>& files) override { requests.append(files); }
};

// Records launches. Completions are held until `finishAll` unless
// `completeAtOnce` is set, so tests can decide when the launch "returns".
class FakeTerminalLauncher : public TerminalLauncher {
public:
    struct Launch {
        QString location;
        QStringList folders;
        bool operator==(const Launch&) const = default;
    };
    QList<Launch> launches;
    QHash<QString, QString> failures;
    bool completeAtOnce = true;

    void launchInFolders(const QString& location, const QStringList& folders,
                         Completion completion) override {
        launches.append({location, folders});
        const std::optional<QString> error =
            failures.contains(location) ? std::optional(failures.value(location)) : std::nullopt;
        if (completeAtOnce)
            completion(error);
        else
            m_pending.append([completion, error] { completion(error); });
    }
    void finishAll() {
        const auto pending = std::exchange(m_pending, {});
        for (const auto& finish : pending)
            finish();
    }

private:
    QList<std::function<void()>> m_pending;
};
