#pragma once

#include "core/platform/Alerts.h"
#include "core/platform/FileMetadata.h"
#include "core/platform/LoginItem.h"
#include "core/platform/Preferences.h"
#include "core/platform/RunningApplications.h"
#include "core/platform/ScreenReader.h"
#include "tests/support/FakeShortcutRegistry.h"

#include <QHash>
#include <QList>
#include <QVariant>
#include <functional>

class FakeRunningApplications : public RunningApplications {
public:
    QSet<QString> running;
    QSet<QString> runningBundleIDs() const override { return running; }
};

class FakeFileMetadata : public FileMetadata {
public:
    QHash<QString, QString> creators;
    std::optional<QString> creatorName(const QUrl& file) const override {
        auto it = creators.find(file.toLocalFile());
        if (it == creators.end() || it->isEmpty())
            return std::nullopt;
        return *it;
    }
};

class FakePreferences : public Preferences {
public:
    QHash<QString, QVariant> values;
    std::optional<QString> string(const QString& key) const override {
        auto it = values.find(key);
        if (it == values.end() || it->typeId() != QMetaType::QString)
            return std::nullopt;
        return it->toString();
    }
    std::optional<bool> boolean(const QString& key) const override {
        auto it = values.find(key);
        if (it == values.end() || it->typeId() != QMetaType::Bool)
            return std::nullopt;
        return it->toBool();
    }
    void setString(const QString& key, const std::optional<QString>& value) override {
        if (value)
            values.insert(key, *value);
        else
            values.remove(key);
    }
    void setBoolean(const QString& key, bool value) override { values.insert(key, value); }
};

// Starting at login; `failure` makes every change fail with that message.
class FakeLoginItem : public LoginItem {
public:
    bool enabled = false;
    std::optional<QString> failure;
    bool isEnabled() const override { return enabled; }
    std::optional<QString> setEnabled(bool on) override {
        if (!failure)
            enabled = on;
        return failure;
    }
};

class FakeScreenReader : public ScreenReader {
public:
    bool enabled = false;
    bool isScreenReaderEnabled() const override { return enabled; }
};

// Records every alert and answers like a user would: with the queued answers in
// order, then with the default (first) button.
class FakeAlerts : public Alerts {
public:
    QList<AlertRequest> shown;
    int beeps = 0;
    QList<int> answers;
    // Optional: decide per alert (takes precedence over `answers`).
    std::function<int(const AlertRequest&)> answerer;

    int runAlert(const AlertRequest& request) override {
        shown.append(request);
        if (answerer)
            return answerer(request);
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
    void beep() override { ++beeps; }
    QStringList messages() const {
        QStringList texts;
        for (const AlertRequest& a : shown)
            texts.append(a.messageText);
        return texts;
    }
};
