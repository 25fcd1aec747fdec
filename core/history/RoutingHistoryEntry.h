#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// How files reached the router.
struct RoutingArrival {
    enum class Kind { open, link, hotkey, fileManagerAction };
    Kind kind = Kind::open;
    // The rule hotkeys that fired (or that a file manager's action named).
    QStringList hotkeys;
    // A link named the rule to use.
    bool ruleForced = false;
    bool operator==(const RoutingArrival&) const = default;
};

// One file routed by the running instance: how it came, what decided and what
// happened. The path is kept as the kernel's bytes, valid UTF-8 or not.
struct RoutingHistoryEntry {
    enum class Outcome { opened, pickerChose, pickerCancelled, utilityRun, failed, notRouted };
    struct EditorRef {
        QString desktopID;
        QString name;
        bool operator==(const EditorRef&) const = default;
    };

    QDateTime when;
    QByteArray path;
    RoutingArrival arrival;
    QString routeID;
    QString routeName;
    // None: the Default Rule decided (or no route was found).
    std::optional<QString> ruleID;
    std::optional<QString> ruleName;
    Outcome outcome = Outcome::opened;
    QList<EditorRef> editors;
    // The utility a picker choice ran.
    QString utility;
    // The alert's text when it failed.
    QString failure;
    bool operator==(const RoutingHistoryEntry&) const = default;

    QJsonObject toJson() const;
    // None for an object that is not an entry (a damaged line).
    static std::optional<RoutingHistoryEntry> fromJson(const QJsonObject& object);
    // "2026-12-07 15:40  notes.md  Markdown  Draft  opened in Kate", in local time.
    QString summaryLine() const;
    // "opened in Kate", "picker: cancelled", "failed: …".
    QString outcomeText() const;
    // The path as text; bytes that are not UTF-8 are shown as replacement characters.
    QString displayPath() const;

    static QString toString(RoutingArrival::Kind arrival);
    static QString toString(Outcome outcome);
};
