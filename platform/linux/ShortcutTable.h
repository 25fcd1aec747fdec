#pragma once

#include "core/platform/ShortcutRegistry.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

// The stored table of global shortcuts, ~/.config/Corvanta/shortcuts.json:
//
//   {"version": 1, "shortcuts": {"rule-<rule id>": "Ctrl+Alt+M", ...}}
//
// Shortcuts are single key combinations in QKeySequence's portable text.
// Entries that cannot be read are left out and reported in `errors()`; a
// missing file is an empty table. The file is read again when it changes.
class ShortcutTable : public ShortcutRegistry {
public:
    static constexpr int formatVersion = 1;

    ShortcutTable();
    explicit ShortcutTable(QString filePath);

    static QString defaultFilePath();
    const QString& filePath() const { return m_path; }

    std::optional<QString> shortcutDisplayText(const QString& name) const override;
    // The stored combination (portable text) under `name`.
    std::optional<QString> shortcut(const QString& name) const;
    // Problems found the last time the file was read.
    QStringList errors() const;

    // Parses a table; never fails, collects what it could not use in `errors`.
    static QHash<QString, QString> parse(const QByteArray& data, QStringList& errors);

private:
    void reloadIfChanged() const;

    QString m_path;
    mutable QHash<QString, QString> m_shortcuts;
    mutable QStringList m_errors;
    mutable QDateTime m_modified;
    mutable qint64 m_size = -1;
    mutable bool m_loaded = false;
};
