#include "core/selection/FileManagerActionsInstaller.h"

#include "core/platform/KeySymbols.h"
#include "core/platform/ShortcutModifiers.h"
#include "core/platform/ShortcutRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <utility>

namespace {

const QString ourPrefix = QStringLiteral("corvanta-rule-");
const QString nemoSuffix = QStringLiteral(".nemo_action");
const QString kdeSuffix = QStringLiteral(".desktop");
// The first bytes of every Nautilus script Corvanta writes; the rule id follows.
const QByteArray scriptTag = QByteArrayLiteral("#!/bin/sh\n# corvanta-rule-");

// What a uca.xml of ours holds without actions; it is removed rather than left so.
const QByteArray emptyThunarList =
    QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n");

constexpr QFileDevice::Permissions readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions runnable =
    readable | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

// Ids become file names and command words, so only plain ones are taken
// (rule ids are UUIDs).
bool isPlainId(const QString& id) {
    if (id.isEmpty() || id.size() > 128)
        return false;
    for (const QChar c : id) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.';
        if (!plain)
            return false;
    }
    return true;
}

// A menu label: one line, no control characters.
QString label(const FileManagerActionsInstaller::RuleAction& rule) {
    QString text = rule.ruleName.value_or(QString());
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    text = text.simplified();
    if (text.isEmpty())
        text = QStringLiteral("Rule ") + rule.ruleId;
    return text;
}

QString description(const FileManagerActionsInstaller::RuleAction& rule) {
    QString text = QStringLiteral("Open the selection with Corvanta's rule \"") + label(rule) +
                   QStringLiteral("\"");
    if (rule.shortcutText)
        text += QStringLiteral(" (") + label({rule.ruleId, rule.shortcutText, {}, {}}) +
                QStringLiteral(")");
    return text;
}

// A value in a key file (Desktop Entry escapes).
QString keyFileValue(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    if (out.startsWith(u' '))
        out.replace(0, 1, QStringLiteral("\\s"));
    return out;
}

// One word of an Exec line, quoted when it needs to be (Desktop Entry rules,
// which the file managers' own parsers accept too).
QString execWord(const QString& word) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    bool needsQuotes = word.isEmpty();
    for (const QChar c : word)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return word;
    QString out = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        // A percent sign is a field code's start unless doubled.
        if (c == u'%')
            out += u'%';
        out += c;
    }
    return out + u'"';
}

QString execLine(const QString& program, const QString& ruleId) {
    return execWord(program) + QStringLiteral(" open --hotkey ") +
           execWord(QStringLiteral("rule-") + ruleId) + QStringLiteral(" -- %F");
}

QString shellWord(const QString& word) {
    QString out = word;
    out.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + out + u'\'';
}

QString xmlText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'"')
            out += QStringLiteral("&quot;");
        else if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n')
            out += u' ';
        else
            out += c;
    }
    return out;
}

std::optional<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Leaves a file with the right bytes and mode; an identical one is not touched.
void writeFile(const QString& path, const QByteArray& contents, QFileDevice::Permissions mode,
               FileManagerActionsInstaller::Result& result) {
    const std::optional<QByteArray> existing = readFile(path);
    if (existing == contents && QFile::permissions(path) == (QFile::permissions(path) | mode))
        return;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        result.errors.append(QStringLiteral("cannot create the folder of ") + path);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit()) {
        result.errors.append(path + QStringLiteral(": ") + file.errorString());
        return;
    }
    if (!QFile::setPermissions(path, mode)) {
        result.errors.append(path + QStringLiteral(": cannot set its permissions"));
        return;
    }
    result.written.append(path);
}

void removeFile(const QString& path, FileManagerActionsInstaller::Result& result) {
    if (QFile::remove(path))
        result.removed.append(path);
    else
        result.errors.append(path + QStringLiteral(": cannot remove it"));
}

// Our files in `folder` named "corvanta-rule-<id><suffix>" whose id is not kept.
void removeStaleNamed(const QString& folder, const QString& suffix, const QSet<QString>& keep,
                      FileManagerActionsInstaller::Result& result) {
    const QStringList names = QDir(folder).entryList({ourPrefix + QStringLiteral("*") + suffix},
                                                     QDir::Files | QDir::System);
    for (const QString& name : names) {
        const QString id =
            name.mid(ourPrefix.size(), name.size() - ourPrefix.size() - suffix.size());
        if (!keep.contains(id))
            removeFile(QDir(folder).filePath(name), result);
    }
}

// The rule id a Nautilus script of ours was written for; none for the user's.
std::optional<QString> scriptRuleId(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(scriptTag.size() + 200);
    if (!head.startsWith(scriptTag))
        return std::nullopt;
    const qsizetype end = head.indexOf(':', scriptTag.size());
    if (end < 0)
        return std::nullopt;
    return QString::fromUtf8(head.mid(scriptTag.size(), end - scriptTag.size()));
}

// Each accelerator of ours follows a comment naming its rule (Nautilus skips
// lines whose accelerator does not parse, as ";" does not).
const QByteArray acceleratorTag = QByteArrayLiteral("; corvanta-rule-");

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

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Where the document's actions are: ours (by unique id) and the end of the
// list. False when the text is not a well-formed <actions> document.
bool findThunarActions(const QString& text, QList<Span>& ours, Span& closing) {
    QXmlStreamReader reader(text);
    int depth = 0;
    qsizetype actionBegin = -1;
    bool inUniqueId = false;
    QString uniqueId;
    bool sawRoot = false;
    while (!reader.atEnd()) {
        // A text token ends only after the reader has seen the next '<'.
        const qsizetype before =
            text.lastIndexOf(u'<', qMin(reader.characterOffset(), text.size() - 1));
        reader.readNext();
        if (reader.tokenType() == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1) {
                if (reader.name() != QLatin1String("actions"))
                    return false;
                sawRoot = true;
            } else if (depth == 2 && reader.name() == QLatin1String("action")) {
                actionBegin = before;
                uniqueId.clear();
            } else if (depth == 3 && reader.name() == QLatin1String("unique-id")) {
                inUniqueId = true;
            }
        } else if (reader.tokenType() == QXmlStreamReader::Characters && inUniqueId) {
            uniqueId += reader.text();
        } else if (reader.tokenType() == QXmlStreamReader::EndElement) {
            if (depth == 3)
                inUniqueId = false;
            if (depth == 2 && actionBegin >= 0) {
                if (uniqueId.trimmed().startsWith(ourPrefix))
                    ours.append({actionBegin, reader.characterOffset()});
                actionBegin = -1;
            }
            if (depth == 1)
                closing = {before, reader.characterOffset()};
            --depth;
        }
    }
    return !reader.hasError() && sawRoot;
}

} // namespace

FileManagerActionsInstaller::FileManagerActionsInstaller(Folders folders, QString program)
    : m_folders(std::move(folders))
    , m_program(std::move(program)) {}

std::optional<FileManagerActionsInstaller::Folders> FileManagerActionsInstaller::defaultFolders() {
    const QString home = qEnvironmentVariable("HOME");
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid and to be ignored.
    if (!data.startsWith(u'/'))
        data.clear();
    if (!config.startsWith(u'/'))
        config.clear();
    if ((data.isEmpty() || config.isEmpty()) && !home.startsWith(u'/'))
        return std::nullopt;
    if (data.isEmpty())
        data = home + QStringLiteral("/.local/share");
    if (config.isEmpty())
        config = home + QStringLiteral("/.config");
    return Folders{data, config};
}

QStringList FileManagerActionsInstaller::Targets::names() const {
    QStringList list;
    if (nautilus)
        list << QStringLiteral("Nautilus");
    if (nemo)
        list << QStringLiteral("Nemo");
    if (kde)
        list << QStringLiteral("Dolphin");
    if (thunar)
        list << QStringLiteral("Thunar");
    return list;
}

FileManagerActionsInstaller::Targets FileManagerActionsInstaller::installedFileManagers() {
    const auto onPath = [](const char* program) {
        return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
    };
    Targets targets;
    targets.nautilus = onPath("nautilus");
    targets.nemo = onPath("nemo");
    targets.kde = onPath("dolphin") || onPath("konqueror");
    targets.thunar = onPath("thunar");
    return targets;
}

FileManagerActionsInstaller::Result
FileManagerActionsInstaller::install(const QList<Route>& routes, const ShortcutRegistry& shortcuts,
                                     const Targets& targets) {
    return install(rulesWithHotkeys(routes, shortcuts), targets);
}

QList<FileManagerActionsInstaller::RuleAction>
FileManagerActionsInstaller::rulesWithHotkeys(const QList<Route>& routes,
                                              const ShortcutRegistry& shortcuts) {
    QList<RuleAction> rules;
    for (const Route& route : routes) {
        for (const Rule& rule : route.rules) {
            const std::optional<QString> text = shortcuts.shortcutDisplayText(rule.hotkeyName());
            if (text)
                rules.append({rule.id, rule.name, text, shortcuts.getShortcut(rule.hotkeyName())});
        }
    }
    return rules;
}

QString FileManagerActionsInstaller::nemoFolder() const {
    return m_folders.dataHome + QStringLiteral("/nemo/actions");
}

QString FileManagerActionsInstaller::kdeFolder() const {
    return m_folders.dataHome + QStringLiteral("/kio/servicemenus");
}

QString FileManagerActionsInstaller::nautilusFolder() const {
    return m_folders.dataHome + QStringLiteral("/nautilus/scripts");
}

QString FileManagerActionsInstaller::nautilusAcceleratorsFile() const {
    return m_folders.configHome + QStringLiteral("/nautilus/scripts-accels");
}

QString FileManagerActionsInstaller::thunarFile() const {
    return m_folders.configHome + QStringLiteral("/Thunar/uca.xml");
}

QByteArray FileManagerActionsInstaller::nemoAction(const RuleAction& rule) const {
    // Nemo expands %F into one quoted argument per file and runs the line
    // without a shell.
    return (QStringLiteral("[Nemo Action]\n") + QStringLiteral("Name=") +
            keyFileValue(label(rule)) + u'\n' + QStringLiteral("Comment=") +
            keyFileValue(description(rule)) + u'\n' + QStringLiteral("Exec=") +
            keyFileValue(execLine(m_program, rule.ruleId)) + u'\n' +
            QStringLiteral("Selection=notnone\nExtensions=any;\n"))
        .toUtf8();
}

QByteArray FileManagerActionsInstaller::kdeServiceMenu(const RuleAction& rule) const {
    return (QStringLiteral("[Desktop Entry]\nType=Service\nMimeType=all/all;\n"
                           "Actions=corvantaRule;\nX-KDE-Priority=TopLevel\n\n"
                           "[Desktop Action corvantaRule]\n") +
            QStringLiteral("Name=") + keyFileValue(label(rule)) + u'\n' + QStringLiteral("Exec=") +
            keyFileValue(execLine(m_program, rule.ruleId)) + u'\n')
        .toUtf8();
}

QByteArray FileManagerActionsInstaller::nautilusScript(const RuleAction& rule) const {
    // Nautilus runs the script in the shown folder with the selected files'
    // names as arguments; "$@" hands them on unchanged, whatever bytes they hold.
    return (QStringLiteral("#!/bin/sh\n# ") + ourPrefix + rule.ruleId +
            QStringLiteral(": written by Corvanta, replaced when the rule changes.\nexec ") +
            shellWord(m_program) + QStringLiteral(" open --hotkey ") +
            shellWord(QStringLiteral("rule-") + rule.ruleId) + QStringLiteral(" -- \"$@\"\n"))
        .toUtf8();
}

QString FileManagerActionsInstaller::nautilusScriptName(const RuleAction& rule) {
    QString name = label(rule);
    name.replace(u'/', u'\u2215'); // DIVISION SLASH looks like one and is allowed
    if (name.startsWith(u'.'))
        name.prepend(u'_');
    // One path component holds 255 bytes.
    const QString suffix = QStringLiteral(" (Corvanta)");
    while ((name + suffix).toUtf8().size() > 255)
        name.chop(1);
    return name + suffix;
}

QByteArray FileManagerActionsInstaller::thunarAction(const RuleAction& rule) const {
    // Thunar runs the line with /bin/sh, %F replaced by the quoted paths; "%%"
    // is its percent sign.
    QString command = shellWord(m_program) + QStringLiteral(" open --hotkey ") +
                      shellWord(QStringLiteral("rule-") + rule.ruleId);
    command.replace(u'%', QStringLiteral("%%"));
    command += QStringLiteral(" -- %F");
    return (QStringLiteral("<action>\n\t<icon></icon>\n\t<name>") + xmlText(label(rule)) +
            QStringLiteral("</name>\n\t<submenu></submenu>\n\t<unique-id>") + ourPrefix +
            rule.ruleId + QStringLiteral("</unique-id>\n\t<command>") + xmlText(command) +
            QStringLiteral("</command>\n\t<description>") + xmlText(description(rule)) +
            QStringLiteral("</description>\n\t<range>*</range>\n\t<patterns>*</patterns>\n"
                           "\t<directories/>\n\t<audio-files/>\n\t<image-files/>\n"
                           "\t<other-files/>\n\t<text-files/>\n\t<video-files/>\n</action>\n"))
        .toUtf8();
}

std::optional<QByteArray>
FileManagerActionsInstaller::mergedThunarActions(const std::optional<QByteArray>& existing,
                                                 const QList<RuleAction>& rules) const {
    QByteArray actions;
    for (const RuleAction& rule : rules)
        actions += thunarAction(rule);
    if (!existing)
        return rules.isEmpty() ? QByteArray()
                               : emptyThunarList.chopped(11) + actions + "</actions>\n";
    // Offsets come from the decoded text; a file that does not decode as UTF-8
    // would not come back byte for byte, so it is left alone.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(*existing);
    if (decoder.hasError() || text.toUtf8() != *existing)
        return std::nullopt;
    QList<Span> ours;
    Span closing;
    if (!findThunarActions(text, ours, closing))
        return std::nullopt;

    QString merged;
    qsizetype from = 0;
    for (Span span : ours) {
        // Take the line's indent and end with the action, so no blank lines pile up.
        qsizetype begin = span.begin;
        while (begin > from && (text[begin - 1] == u' ' || text[begin - 1] == u'\t'))
            --begin;
        if (begin > 0 && text[begin - 1] != u'\n')
            begin = span.begin;
        // Each of ours was written with a newline after it.
        qsizetype end = span.end;
        if (end < text.size() && text[end] == u'\n')
            ++end;
        merged += QStringView(text).mid(from, begin - from);
        from = end;
    }
    const QString added = QString::fromUtf8(actions);
    if (!QStringView(text).mid(closing.begin).startsWith(u"</")) {
        // <actions/>: open it up to hold ours.
        const qsizetype slash = text.lastIndexOf(u'/', closing.end - 1);
        merged += QStringView(text).mid(from, slash - from);
        merged += QStringLiteral(">\n") + added + QStringLiteral("</actions>");
        merged += QStringView(text).mid(closing.end);
    } else {
        merged += QStringView(text).mid(from, closing.begin - from);
        merged += added;
        merged += QStringView(text).mid(closing.begin);
    }
    return merged.toUtf8();
}

std::optional<QString> FileManagerActionsInstaller::gtkAccelerator(const Shortcut& shortcut) {
    const std::optional<QString> name = KeySymbols::name(shortcut.key);
    if (!name)
        return std::nullopt;
    QString modifiers;
    if (shortcut.modifiers & ShortcutModifiers::control)
        modifiers += QStringLiteral("<Control>");
    if (shortcut.modifiers & ShortcutModifiers::shift)
        modifiers += QStringLiteral("<Shift>");
    if (shortcut.modifiers & ShortcutModifiers::option)
        modifiers += QStringLiteral("<Alt>");
    if (shortcut.modifiers & ShortcutModifiers::command)
        modifiers += QStringLiteral("<Super>");
    return modifiers + *name;
}

std::optional<QByteArray> FileManagerActionsInstaller::mergedNautilusAccelerators(
    const std::optional<QByteArray>& existing, const QList<ScriptAccelerator>& accelerators) {
    QByteArray merged;
    for (const ScriptAccelerator& entry : accelerators)
        merged += acceleratorTag + entry.ruleId.toUtf8() + '\n' + entry.accelerator.toUtf8() + ' ' +
                  entry.scriptName.toUtf8() + '\n';
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

FileManagerActionsInstaller::Result
FileManagerActionsInstaller::install(const QList<RuleAction>& rules) {
    return apply(rules, Targets{});
}

FileManagerActionsInstaller::Result
FileManagerActionsInstaller::install(const QList<RuleAction>& rules, const Targets& targets) {
    return apply(rules, targets);
}

FileManagerActionsInstaller::Result FileManagerActionsInstaller::remove() {
    return apply({}, Targets{});
}

bool FileManagerActionsInstaller::hasInstalled() const {
    const auto named = [](const QString& folder, const QString& suffix) {
        return !QDir(folder)
                    .entryList({ourPrefix + QStringLiteral("*") + suffix}, QDir::Files)
                    .isEmpty();
    };
    if (named(nemoFolder(), nemoSuffix) || named(kdeFolder(), kdeSuffix))
        return true;
    const QStringList scripts = QDir(nautilusFolder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : scripts) {
        if (scriptRuleId(nautilusFolder() + u'/' + name))
            return true;
    }
    const std::optional<QByteArray> uca = readFile(thunarFile());
    QList<Span> ours;
    Span closing;
    return uca && findThunarActions(QString::fromUtf8(*uca), ours, closing) && !ours.isEmpty();
}

FileManagerActionsInstaller::Result
FileManagerActionsInstaller::apply(const QList<RuleAction>& requested, const Targets& targets) {
    Result result;
    QList<RuleAction> rules;
    QSet<QString> ids;
    for (const RuleAction& rule : requested) {
        if (!isPlainId(rule.ruleId))
            result.skipped.append(QStringLiteral("rule \"") + label(rule) +
                                  QStringLiteral("\": its id cannot name a file"));
        else if (!ids.contains(rule.ruleId)) {
            ids.insert(rule.ruleId);
            rules.append(rule);
        }
    }
    const auto kept = [&](bool target) { return target ? ids : QSet<QString>(); };

    removeStaleNamed(nemoFolder(), nemoSuffix, kept(targets.nemo), result);
    if (targets.nemo) {
        for (const RuleAction& rule : rules)
            writeFile(nemoFolder() + u'/' + ourPrefix + rule.ruleId + nemoSuffix, nemoAction(rule),
                      readable, result);
    }

    // KDE only offers local service menus that may be run.
    removeStaleNamed(kdeFolder(), kdeSuffix, kept(targets.kde), result);
    if (targets.kde) {
        for (const RuleAction& rule : rules)
            writeFile(kdeFolder() + u'/' + ourPrefix + rule.ruleId + kdeSuffix,
                      kdeServiceMenu(rule), runnable, result);
    }

    // Nautilus scripts are named after the rule, so ours are found by their tag.
    QSet<QString> wanted;
    QList<ScriptAccelerator> accelerators;
    if (targets.nautilus) {
        QSet<QString> taken;
        for (const RuleAction& rule : rules) {
            QString name = nautilusScriptName(rule);
            for (int n = 2; taken.contains(name); ++n)
                name = nautilusScriptName(rule).chopped(1) + QStringLiteral(" %1)").arg(n);
            taken.insert(name);
            const QString path = nautilusFolder() + u'/' + name;
            const QFileInfo info(path);
            if (info.exists() && !scriptRuleId(path)) {
                result.skipped.append(QStringLiteral("rule \"") + label(rule) +
                                      QStringLiteral("\": ") + path +
                                      QStringLiteral(" is someone else's"));
                continue;
            }
            wanted.insert(name);
            writeFile(path, nautilusScript(rule), runnable, result);
            if (const std::optional<QString> accelerator =
                    rule.shortcut ? gtkAccelerator(*rule.shortcut) : std::nullopt)
                accelerators.append({rule.ruleId, *accelerator, name});
        }
    }
    const QStringList scripts = QDir(nautilusFolder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : scripts) {
        const QString path = nautilusFolder() + u'/' + name;
        if (!wanted.contains(name) && !QFileInfo(path).isSymLink() && scriptRuleId(path))
            removeFile(path, result);
    }

    const QString accels = nautilusAcceleratorsFile();
    const std::optional<QByteArray> accelsBefore =
        QFileInfo::exists(accels) ? readFile(accels) : std::optional<QByteArray>();
    if (QFileInfo::exists(accels) && !accelsBefore) {
        result.errors.append(accels + QStringLiteral(": cannot read it"));
    } else if (const std::optional<QByteArray> merged =
                   mergedNautilusAccelerators(accelsBefore, accelerators);
               !merged) {
        result.errors.append(accels + QStringLiteral(" is not a text file; left as it is"));
    } else if (accelsBefore && merged->isEmpty() && !accelsBefore->isEmpty()) {
        // It held only ours.
        removeFile(accels, result);
    } else if (!merged->isEmpty()) {
        writeFile(accels, *merged, accelsBefore ? QFile::permissions(accels) : readable, result);
    }

    const QString uca = thunarFile();
    const std::optional<QByteArray> existing =
        QFileInfo::exists(uca) ? readFile(uca) : std::optional<QByteArray>();
    if (QFileInfo::exists(uca) && !existing) {
        result.errors.append(uca + QStringLiteral(": cannot read it"));
    } else {
        const QList<RuleAction> thunarRules = targets.thunar ? rules : QList<RuleAction>();
        const std::optional<QByteArray> merged = mergedThunarActions(existing, thunarRules);
        if (!merged)
            result.errors.append(uca +
                                 QStringLiteral(" is not a readable action list; left as it is"));
        else if (existing && *merged == emptyThunarList)
            removeFile(uca, result);
        else if (existing || !merged->isEmpty())
            writeFile(uca, *merged, existing ? QFile::permissions(uca) : readable, result);
    }
    return result;
}
