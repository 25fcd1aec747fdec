#pragma once

#include "core/fileactions/FileManagerAction.h"

// Thunar's custom actions: one uca.xml in $XDG_CONFIG_HOME/Thunar, an
// <actions> list of <action> elements.
namespace ThunarActionsFile {
QString path(const QString& configHome);

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages);
// The command line of an action: Thunar runs it with /bin/sh, %F replaced by
// the quoted paths.
QString commandLine(const QStringList& command);
// One <action> element, unique id `entry.id`, for every kind of file.
QByteArray write(const ActionEntry& entry);
// What a file of ours holds without actions; it is removed rather than left so.
inline constexpr QByteArrayView emptyList{
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n"};
// `existing` (the bytes of uca.xml, none when there is no file) with the
// actions whose unique id starts with `ourPrefix` replaced by `entries`; the
// user's actions keep their bytes. None when `existing` is not a readable
// action list: it is then never overwritten.
std::optional<QByteArray> merged(const std::optional<QByteArray>& existing,
                                 const QString& ourPrefix, const QList<ActionEntry>& entries);
// True when `existing` holds an action whose unique id starts with `ourPrefix`.
bool holdsOurs(const QByteArray& existing, const QString& ourPrefix);
} // namespace ThunarActionsFile
