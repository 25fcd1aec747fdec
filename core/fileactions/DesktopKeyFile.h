#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The key-file format that desktop entries, KDE service menus and Nemo actions
// share: [groups] of key=value lines, localised keys as Key[lang], string
// escapes, ";"-separated lists. These files come from anywhere on the disk, so
// `parse` accepts only what the format allows and rejects the rest whole.
class DesktopKeyFile {
public:
    // None when a line is neither a comment, a group header nor a key=value
    // pair, a key comes before any group, or the text is not UTF-8.
    static std::optional<DesktopKeyFile> parse(const QByteArray& data);

    // Groups in file order (a repeated group is merged into its first place).
    const QStringList& groups() const { return m_groups; }
    bool hasGroup(const QString& group) const { return m_values.contains(group); }
    bool hasKey(const QString& group, const QString& key) const;
    // The value with its escapes resolved.
    std::optional<QString> string(const QString& group, const QString& key) const;
    // The value for the first of `languages` (each tried as lang_COUNTRY@MODIFIER,
    // then shorter forms) that has one, else the plain key.
    std::optional<QString> localeString(const QString& group, const QString& key,
                                        const QStringList& languages) const;
    // The value split at unescaped ";", empty elements dropped.
    QStringList stringList(const QString& group, const QString& key) const;
    std::optional<bool> boolean(const QString& group, const QString& key) const;

    // The user's languages as desktop files name them ("de_DE", "de").
    static QStringList userLanguages();

    // Writing: a string value with its escapes, and an Exec value that runs
    // `command` with the selected files (%F) as further arguments.
    static QString escaped(const QString& text);
    static QString execValue(const QStringList& command);

private:
    QStringList m_groups;
    QHash<QString, QHash<QString, QString>> m_values; // raw values
};
