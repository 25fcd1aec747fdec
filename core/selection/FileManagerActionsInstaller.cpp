#include "core/selection/FileManagerActionsInstaller.h"

#include "core/fileactions/KdeServiceMenuFile.h"
#include "core/fileactions/NautilusScriptsFolder.h"
#include "core/fileactions/NemoActionFile.h"
#include "core/fileactions/ThunarActionsFile.h"
#include "core/platform/ShortcutRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

namespace {

using RuleAction = FileManagerActionsInstaller::RuleAction;
const QString ourPrefix = QStringLiteral("corvanta-rule-");

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
QString label(const RuleAction& rule) {
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

QString description(const RuleAction& rule) {
    QString text = QStringLiteral("Open the selection with Corvanta's rule \"") + label(rule) +
                   QStringLiteral("\"");
    if (rule.shortcutText)
        text += QStringLiteral(" (") + label({rule.ruleId, rule.shortcutText, {}, {}}) +
                QStringLiteral(")");
    return text;
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
void removeStaleNamed(const QString& folder, QLatin1StringView suffix,
                      const QList<RuleAction>& keep, FileManagerActionsInstaller::Result& result) {
    const QStringList names =
        QDir(folder).entryList({ourPrefix + u'*' + suffix}, QDir::Files | QDir::System);
    for (const QString& name : names) {
        const QString id =
            name.mid(ourPrefix.size(), name.size() - ourPrefix.size() - suffix.size());
        if (std::none_of(keep.begin(), keep.end(),
                         [&id](const RuleAction& rule) { return rule.ruleId == id; }))
            removeFile(QDir(folder).filePath(name), result);
    }
}

// Replaces the file at `path` with `merge` of its bytes (none when there is
// none); a file that cannot be read or merged is left as it is, one that
// held only ours (merged to `empty`) is removed.
template <typename Merge>
void mergeInto(const QString& path, const QByteArray& empty, const Merge& merge,
               const QString& unmergeable, FileManagerActionsInstaller::Result& result) {
    const bool exists = QFileInfo::exists(path);
    const std::optional<QByteArray> before = exists ? readFile(path) : std::nullopt;
    if (exists && !before) {
        result.errors.append(path + QStringLiteral(": cannot read it"));
        return;
    }
    const std::optional<QByteArray> merged = merge(before);
    if (!merged)
        result.errors.append(path + unmergeable);
    else if (before && *merged == empty && *before != empty)
        removeFile(path, result);
    else if (before || !merged->isEmpty())
        writeFile(path, *merged, before ? QFile::permissions(path) : readable, result);
}

} // namespace

FileManagerActionsInstaller::FileManagerActionsInstaller(XdgFolders folders, QString program)
    : m_folders(std::move(folders))
    , m_program(std::move(program)) {}

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

QString FileManagerActionsInstaller::nautilusScriptName(const RuleAction& rule) {
    return NautilusScriptsFolder::scriptName(label(rule));
}

ActionEntry FileManagerActionsInstaller::entry(const RuleAction& rule) const {
    return {ourPrefix + rule.ruleId,
            label(rule),
            description(rule),
            {m_program, QStringLiteral("open"), QStringLiteral("--hotkey"),
             QStringLiteral("rule-") + rule.ruleId, QStringLiteral("--")}};
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
    const auto named = [](const QString& folder, QLatin1StringView suffix) {
        return !QDir(folder).entryList({ourPrefix + u'*' + suffix}, QDir::Files).isEmpty();
    };
    if (named(NemoActionFile::folder(m_folders.dataHome), NemoActionFile::suffix) ||
        named(KdeServiceMenuFile::userFolder(m_folders.dataHome), KdeServiceMenuFile::suffix))
        return true;
    const QString scripts = NautilusScriptsFolder::folder(m_folders.dataHome);
    for (const QString& name : QDir(scripts).entryList(QDir::Files | QDir::Hidden)) {
        if (NautilusScriptsFolder::isOurs(scripts + u'/' + name, ourPrefix))
            return true;
    }
    const std::optional<QByteArray> uca = readFile(ThunarActionsFile::path(m_folders.configHome));
    return uca && ThunarActionsFile::holdsOurs(*uca, ourPrefix);
}

void FileManagerActionsInstaller::writeNamed(const QList<RuleAction>& rules, const QString& folder,
                                             QLatin1StringView suffix, Writer write,
                                             QFileDevice::Permissions mode, Result& result) const {
    removeStaleNamed(folder, suffix, rules, result);
    for (const RuleAction& rule : rules)
        writeFile(folder + u'/' + ourPrefix + rule.ruleId + suffix, write(entry(rule)), mode,
                  result);
}

void FileManagerActionsInstaller::writeNautilus(const QList<RuleAction>& rules,
                                                Result& result) const {
    // Scripts are named after the rule, so ours are found by their tag.
    const QString folder = NautilusScriptsFolder::folder(m_folders.dataHome);
    QSet<QString> taken, wanted;
    QList<NautilusScriptsFolder::Accelerator> accelerators;
    for (const RuleAction& rule : rules) {
        QString name = nautilusScriptName(rule);
        for (int n = 2; taken.contains(name); ++n)
            name = nautilusScriptName(rule).chopped(1) + QStringLiteral(" %1)").arg(n);
        taken.insert(name);
        const QString path = folder + u'/' + name;
        if (QFileInfo::exists(path) && !NautilusScriptsFolder::isOurs(path, ourPrefix)) {
            result.skipped.append(QStringLiteral("rule \"") + label(rule) + QStringLiteral("\": ") +
                                  path + QStringLiteral(" is someone else's"));
            continue;
        }
        wanted.insert(name);
        writeFile(path, NautilusScriptsFolder::write(entry(rule)), runnable, result);
        if (const std::optional<QString> accelerator =
                rule.shortcut ? NautilusScriptsFolder::gtkAccelerator(*rule.shortcut)
                              : std::nullopt)
            accelerators.append({ourPrefix + rule.ruleId, *accelerator, name});
    }
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QString path = folder + u'/' + name;
        if (!wanted.contains(name) && !QFileInfo(path).isSymLink() &&
            NautilusScriptsFolder::isOurs(path, ourPrefix))
            removeFile(path, result);
    }
    mergeInto(
        NautilusScriptsFolder::acceleratorsFile(m_folders.configHome), QByteArray(),
        [&](const std::optional<QByteArray>& before) {
            return NautilusScriptsFolder::mergedAccelerators(before, ourPrefix, accelerators);
        },
        QStringLiteral(" is not a text file; left as it is"), result);
}

void FileManagerActionsInstaller::writeThunar(const QList<RuleAction>& rules,
                                              Result& result) const {
    QList<ActionEntry> entries;
    for (const RuleAction& rule : rules)
        entries.append(entry(rule));
    mergeInto(
        ThunarActionsFile::path(m_folders.configHome), ThunarActionsFile::emptyList.toByteArray(),
        [&](const std::optional<QByteArray>& before) {
            return ThunarActionsFile::merged(before, ourPrefix, entries);
        },
        QStringLiteral(" is not a readable action list; left as it is"), result);
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
    // A file manager left out keeps none of ours.
    const auto kept = [&](bool target) { return target ? rules : QList<RuleAction>(); };
    writeNamed(kept(targets.nemo), NemoActionFile::folder(m_folders.dataHome),
               NemoActionFile::suffix, NemoActionFile::write, readable, result);
    // KDE only offers local service menus that may be run.
    writeNamed(kept(targets.kde), KdeServiceMenuFile::userFolder(m_folders.dataHome),
               KdeServiceMenuFile::suffix, KdeServiceMenuFile::write, runnable, result);
    writeNautilus(kept(targets.nautilus), result);
    writeThunar(kept(targets.thunar), result);
    return result;
}
