#pragma once

#include "core/platform/Shortcut.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QStringList>
#include <optional>

// The stored table of global shortcuts, ~/.config/Corvanta/shortcuts.json:
//
//   {"version": 1, "shortcuts": {"rule-<rule id>": "Ctrl+Alt+M", ...}}
//
// Shortcuts are single key combinations in QKeySequence's portable text, read
// as written (a no-break space is a key). An entry that cannot be used (not one
// combination, or a bare key that would be taken from every program) is left
// out of use, reported in `errors()`, and written back as it was. A missing
// file is an empty table. The file is read again when it changes. Writes are
// atomic; a file that could not be read at all (not JSON, another version) is
// never overwritten (changes then live in memory only, and that is said once).
class ShortcutTable {
public:
    static constexpr int formatVersion = 1;

    ShortcutTable();
    explicit ShortcutTable(QString filePath);

    static QString defaultFilePath();
    const QString& filePath() const { return m_path; }

    // The stored combination (portable text) under `name`.
    std::optional<QString> shortcut(const QString& name) const;
    std::optional<Shortcut> get(const QString& name) const;
    // Stores (none: removes) the combination under `name` and writes the file.
    // False when it was not written; the change still holds in memory.
    bool set(const QString& name, const std::optional<Shortcut>& shortcut);
    // Why the last write did not happen; none after a successful one.
    const std::optional<QString>& lastWriteError() const { return m_lastWriteError; }
    // Problems found the last time the file was read.
    QStringList errors() const;

    // Parses a table; never fails, collects what it could not use in `errors`,
    // the entries left out in `unusable` (as they are in the file), and whether
    // the file as a whole could not be read in `damaged`.
    static QHash<QString, QString> parse(const QByteArray& data, QStringList& errors,
                                         QJsonObject* unusable = nullptr, bool* damaged = nullptr);
    // A combination in the stored text ("Meta+Shift+E") and back; none when the
    // text is not one key combination.
    static QString toText(const Shortcut& shortcut);
    static std::optional<Shortcut> fromText(const QString& text);

private:
    void reloadIfChanged() const;

    QString m_path;
    mutable QHash<QString, QString> m_shortcuts;
    mutable QJsonObject m_unusable;
    mutable QStringList m_errors;
    mutable QDateTime m_modified;
    mutable qint64 m_size = -1;
    mutable bool m_loaded = false;
    // Set while the file on disk holds something this table could not read.
    mutable bool m_damaged = false;
    bool m_damageReported = false;
    std::optional<QString> m_lastWriteError;
};
