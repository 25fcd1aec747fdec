#include "platform/linux/ShortcutTable.h"

#include "core/platform/ShortcutModifiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QKeySequence>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>

namespace {
// Above this the file is not a shortcut table; reading it would only waste memory.
constexpr qint64 maximumFileSize = 1024 * 1024;

// The entry `name` in the text this program writes, or why it cannot be used.
struct Entry {
    QString text;
    std::optional<QString> problem;
};

Entry readEntry(const QString& name, const QJsonValue& value) {
    if (name.isEmpty())
        return {{}, QStringLiteral("a shortcut has an empty name")};
    if (!value.isString())
        return {{}, QStringLiteral("the shortcut of \"%1\" is not a string").arg(name)};
    const QString text = value.toString();
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    // A key without a name (a NUL reads as one) would be stored as modifiers
    // alone, which read back as nothing.
    const QString canonical = sequence.toString(QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown ||
        QKeySequence::fromString(canonical, QKeySequence::PortableText) != sequence)
        return {{},
                QStringLiteral("the shortcut of \"%1\" is not one key combination: \"%2\"")
                    .arg(name, text)};
    if (!ShortcutModifiers::leavesTypingAlone(sequence[0].key(), sequence[0].keyboardModifiers()))
        return {{},
                QStringLiteral("the shortcut of \"%1\" has no Super, Alt or Ctrl: \"%2\" "
                               "would be taken from every program")
                    .arg(name, text)};
    return {canonical, std::nullopt};
}
} // namespace

QString ShortcutTable::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Corvanta/shortcuts.json");
}

ShortcutTable::ShortcutTable()
    : ShortcutTable(defaultFilePath()) {}

ShortcutTable::ShortcutTable(QString filePath)
    : m_path(std::move(filePath)) {}

QHash<QString, QString> ShortcutTable::parse(const QByteArray& data, QStringList& errors,
                                             QJsonObject* unusable, bool* damaged) {
    QHash<QString, QString> table;
    // Problems of single entries come after the last return that leaves this.
    auto whole = qScopeGuard([&] {
        if (damaged)
            *damaged = true;
    });
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        errors.append(QStringLiteral("not valid JSON at offset %1: %2")
                          .arg(parseError.offset)
                          .arg(parseError.errorString()));
        return table;
    }
    if (!document.isObject()) {
        errors.append(QStringLiteral("the top level is not an object"));
        return table;
    }
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(QLatin1String("version"));
    if (version.isUndefined()) {
        errors.append(QStringLiteral("the version is missing"));
        return table;
    }
    if (!version.isDouble() || version.toDouble() != formatVersion) {
        errors.append(QStringLiteral("unsupported version (this program reads version %1)")
                          .arg(formatVersion));
        return table;
    }
    const QJsonValue shortcuts = root.value(QLatin1String("shortcuts"));
    if (!shortcuts.isUndefined() && !shortcuts.isObject()) {
        errors.append(QStringLiteral("\"shortcuts\" is not an object"));
        return table;
    }
    whole.dismiss();
    const QJsonObject entries = shortcuts.toObject();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        const Entry entry = readEntry(it.key(), it.value());
        if (!entry.problem) {
            table.insert(it.key(), entry.text);
            continue;
        }
        errors.append(*entry.problem);
        if (unusable)
            unusable->insert(it.key(), it.value());
    }
    return table;
}

void ShortcutTable::reloadIfChanged() const {
    const QFileInfo info(m_path);
    const bool exists = info.exists();
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    const qint64 size = exists ? info.size() : -1;
    if (m_loaded && modified == m_modified && size == m_size)
        return;
    m_loaded = true;
    m_modified = modified;
    m_size = size;
    m_shortcuts.clear();
    m_unusable = QJsonObject();
    m_errors.clear();
    m_damaged = false;
    if (!exists)
        return;
    const auto report = qScopeGuard([this] {
        for (const QString& error : std::as_const(m_errors))
            qWarning("Corvanta: %s", qUtf8Printable(error));
    });
    // A file that cannot be read at all would be lost by a rewrite.
    QFile file(m_path);
    if (size > maximumFileSize) {
        m_errors.append(QStringLiteral("%1 is too large to be a shortcut table").arg(m_path));
        m_damaged = true;
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_errors.append(QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
        m_damaged = true;
        return;
    }
    QStringList errors;
    m_shortcuts = parse(file.read(maximumFileSize), errors, &m_unusable, &m_damaged);
    for (const QString& error : errors)
        m_errors.append(m_path + QStringLiteral(": ") + error);
}

std::optional<QString> ShortcutTable::shortcut(const QString& name) const {
    reloadIfChanged();
    const auto it = m_shortcuts.constFind(name);
    if (it == m_shortcuts.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<Shortcut> ShortcutTable::get(const QString& name) const {
    const std::optional<QString> text = shortcut(name);
    return text ? fromText(*text) : std::nullopt;
}

QString ShortcutTable::toText(const Shortcut& shortcut) {
    return QKeySequence(QKeyCombination(shortcut.modifiers, shortcut.key))
        .toString(QKeySequence::PortableText);
}

std::optional<Shortcut> ShortcutTable::fromText(const QString& text) {
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return std::nullopt;
    return Shortcut{sequence[0].key(), sequence[0].keyboardModifiers()};
}

bool ShortcutTable::set(const QString& name, const std::optional<Shortcut>& shortcut) {
    reloadIfChanged();
    m_unusable.remove(name);
    if (shortcut)
        m_shortcuts.insert(name, toText(*shortcut));
    else
        m_shortcuts.remove(name);

    if (m_damaged) {
        m_lastWriteError = QStringLiteral("%1 could not be read completely; it is left as it is "
                                          "and shortcut changes last until Corvanta quits")
                               .arg(m_path);
        if (!m_damageReported) {
            m_damageReported = true;
            qWarning("Corvanta: %s", qUtf8Printable(*m_lastWriteError));
        }
        return false;
    }

    QJsonObject entries = m_unusable;
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it)
        entries.insert(it.key(), it.value());
    QJsonObject root;
    root.insert(QStringLiteral("version"), formatVersion);
    root.insert(QStringLiteral("shortcuts"), entries);

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        m_lastWriteError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        qWarning("Corvanta: %s", qUtf8Printable(*m_lastWriteError));
        return false;
    }
    m_lastWriteError.reset();
    // What is on disk now is what is in memory; no need to read it back.
    const QFileInfo written(m_path);
    m_modified = written.lastModified();
    m_size = written.size();
    return true;
}

QStringList ShortcutTable::errors() const {
    reloadIfChanged();
    return m_errors;
}
