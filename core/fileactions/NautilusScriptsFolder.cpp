#include "core/fileactions/NautilusScriptsFolder.h"

#include "core/platform/KeySymbols.h"
#include "core/platform/ShortcutModifiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

const QString scriptSuffix = QStringLiteral(" (Corvanta)");
const QByteArray scriptHead = QByteArrayLiteral("#!/bin/sh\n# ");

void walk(const QString& folder, QStringList& into, int depth) {
    if (depth > 16)
        return;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (info.isDir()) {
            if (!info.isSymLink())
                walk(info.absoluteFilePath(), into, depth + 1);
        } else if (info.isExecutable()) {
            into.append(info.absoluteFilePath());
        }
    }
}

QByteArray withoutLineEnd(const QByteArray& line) {
    QByteArray text = line;
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    return text;
}

// An accelerator line for one of our scripts (their names end so).
bool isOurAcceleratorLine(const QByteArray& line) {
    static const QRegularExpression ours(QStringLiteral("^\\S+ .*\\(Corvanta( \\d+)?\\)$"));
    return ours.match(QString::fromUtf8(withoutLineEnd(line))).hasMatch();
}

} // namespace

namespace NautilusScriptsFolder {

QString folder(const QString& dataHome) {
    return dataHome + QStringLiteral("/nautilus/scripts");
}

QString acceleratorsFile(const QString& configHome) {
    return configHome + QStringLiteral("/nautilus/scripts-accels");
}

QStringList scripts(const QString& dataHome) {
    QStringList paths;
    walk(folder(dataHome), paths, 0);
    return paths;
}

std::optional<FileManagerAction> read(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return std::nullopt;
    FileManagerAction action;
    action.source = FileManagerAction::Source::nautilusScript;
    action.name = info.fileName();
    action.filePath = path;
    return action;
}

QString scriptName(const QString& label) {
    QString name = label;
    name.replace(u'/', u'\u2215'); // DIVISION SLASH looks like one and is allowed
    if (name.startsWith(u'.'))
        name.prepend(u'_');
    // One path component holds 255 bytes.
    while ((name + scriptSuffix).toUtf8().size() > 255)
        name.chop(1);
    return name + scriptSuffix;
}

QByteArray write(const ActionEntry& entry) {
    // Nautilus runs the script in the shown folder with the selected files'
    // names as arguments; "$@" hands them on unchanged.
    return scriptHead + entry.id.toUtf8() +
           ": written by Corvanta, replaced when the rule changes.\nexec " +
           shellWords(entry.command).toUtf8() + " \"$@\"\n";
}

bool isOurs(const QString& path, const QString& ourPrefix) {
    const QByteArray tag = scriptHead + ourPrefix.toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(tag.size() + 200);
    return head.startsWith(tag) && head.indexOf(':', tag.size()) >= 0;
}

std::optional<QString> gtkAccelerator(const Shortcut& shortcut) {
    return KeySymbols::spell(shortcut, {{ShortcutModifiers::control, "<Control>"},
                                        {ShortcutModifiers::shift, "<Shift>"},
                                        {ShortcutModifiers::option, "<Alt>"},
                                        {ShortcutModifiers::command, "<Super>"}});
}

std::optional<QByteArray> mergedAccelerators(const std::optional<QByteArray>& existing,
                                             const QString& ourPrefix,
                                             const QList<Accelerator>& accelerators) {
    // Each of ours follows a comment naming its entry (Nautilus skips lines
    // whose accelerator does not parse, as ";" does not).
    QByteArray merged;
    for (const Accelerator& entry : accelerators)
        merged += "; " + entry.id.toUtf8() + '\n' + entry.accelerator.toUtf8() + ' ' +
                  entry.scriptName.toUtf8() + '\n';
    const QByteArray acceleratorTag = "; " + ourPrefix.toUtf8();
    if (!existing)
        return merged;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(*existing);
    if (decoder.hasError() || text.contains(QChar(u'\0')))
        return std::nullopt;
    // Ours go first, the user's lines after them as they were.
    qsizetype from = 0;
    bool afterTag = false;
    while (from < existing->size()) {
        qsizetype end = existing->indexOf('\n', from);
        end = end < 0 ? existing->size() : end + 1;
        const QByteArray line = existing->mid(from, end - from);
        from = end;
        const bool tag = line.startsWith(acceleratorTag);
        if (!tag && !(afterTag && isOurAcceleratorLine(line)))
            merged += line;
        afterTag = tag;
    }
    return merged;
}

} // namespace NautilusScriptsFolder
