#include "platform/linux/XdgAutostartEntry.h"

#include "core/platform/LauncherProgram.h"
#include "platform/linux/GLibPointers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QByteArray mainGroup = QByteArrayLiteral("[Desktop Entry]");

// The program as one word of an Exec line (quoted by the Desktop Entry rules
// when it has to be; a literal % is always doubled).
QByteArray execWord(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=");
    QString word = program;
    word.replace(u'%', QStringLiteral("%%"));
    bool quote = false;
    for (const QChar c : word)
        quote = quote || reserved.contains(c);
    if (!quote)
        return word.toUtf8();
    QString out = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return (out + u'"').toUtf8();
}

bool isGroupHeader(const QByteArray& line) {
    return line.trimmed().startsWith('[');
}

// Sets `key` in the main group: the first line of that key is replaced, or a
// line is added after the group's last entry. Every other line is kept.
void setKey(QList<QByteArray>& lines, const QByteArray& key, const QByteArray& value) {
    const qsizetype group = lines.indexOf(mainGroup);
    qsizetype insertAt = group < 0 ? lines.size() : group + 1;
    if (group < 0)
        lines.append(mainGroup);
    for (qsizetype i = insertAt; i < lines.size() && !isGroupHeader(lines[i]); ++i) {
        const QByteArray line = lines[i];
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == key) {
            lines[i] = key + '=' + value;
            return;
        }
        if (!line.trimmed().isEmpty())
            insertAt = i + 1;
    }
    lines.insert(insertAt, key + '=' + value);
}
} // namespace

XdgAutostartEntry::XdgAutostartEntry(QString path, QString program)
    : m_path(std::move(path))
    , m_program(std::move(program)) {}

QString XdgAutostartEntry::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/io.corvanta.Corvanta.desktop");
}

QString XdgAutostartEntry::program() const {
    return m_program.isEmpty() ? LauncherProgram::path() : m_program;
}

QByteArray XdgAutostartEntry::initialContents() const {
    const QByteArray word = execWord(program());
    return mainGroup +
           "\n"
           "Type=Application\n"
           "Name=Corvanta\n"
           "Comment=Route files to their editors and keep rule hotkeys working\n"
           "Icon=io.corvanta.Corvanta\n"
           "TryExec=" +
           word + "\nExec=" + word + ' ' + loginOption +
           "\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "StartupNotify=false\n"
           "X-GNOME-Autostart-enabled=true\n"
           "X-KDE-autostart-after=panel\n";
}

bool XdgAutostartEntry::isEnabled() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), g_key_file_free);
    if (!g_key_file_load_from_data(keys.get(), data.constData(), gsize(data.size()),
                                   G_KEY_FILE_NONE, nullptr))
        return false;
    const auto flag = [&](const char* key, bool fallback) {
        GErrorOut error;
        const bool value = g_key_file_get_boolean(keys.get(), "Desktop Entry", key, error);
        return error ? fallback : value;
    };
    return g_key_file_has_group(keys.get(), "Desktop Entry") && !flag("Hidden", false) &&
           flag("X-GNOME-Autostart-enabled", true);
}

std::optional<QString> XdgAutostartEntry::setEnabled(bool enabled) {
    QFile file(m_path);
    if (!file.exists()) {
        if (!enabled)
            return std::nullopt;
        return write(initialContents());
    }
    if (isEnabled() == enabled)
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString());
    QByteArray data = file.readAll();
    const bool endsWithNewline = data.endsWith('\n');
    if (endsWithNewline)
        data.chop(1);
    QList<QByteArray> lines = data.split('\n');
    setKey(lines, "Hidden", enabled ? "false" : "true");
    if (enabled)
        setKey(lines, "X-GNOME-Autostart-enabled", "true");
    return write(lines.join('\n') + (endsWithNewline ? "\n" : ""));
}

std::optional<QString> XdgAutostartEntry::write(const QByteArray& contents) const {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) < 0 || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
    return std::nullopt;
}
