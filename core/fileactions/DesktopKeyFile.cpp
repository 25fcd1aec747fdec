#include "core/fileactions/DesktopKeyFile.h"

#include <QLocale>
#include <QStringDecoder>

namespace {

QString unescape(const QString& raw, bool keepListSeparators) {
    QString result;
    result.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            result.append(c);
            continue;
        }
        const QChar next = raw.at(++i);
        switch (next.unicode()) {
        case 's':
            result.append(QLatin1Char(' '));
            break;
        case 'n':
            result.append(QLatin1Char('\n'));
            break;
        case 't':
            result.append(QLatin1Char('\t'));
            break;
        case 'r':
            result.append(QLatin1Char('\r'));
            break;
        case ';':
            if (keepListSeparators)
                result.append(QLatin1Char('\\'));
            result.append(next);
            break;
        default:
            // "\\" and unknown escapes: the character itself.
            result.append(next);
        }
    }
    return result;
}

bool validKey(const QString& key) {
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
              c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('@') ||
              c == QLatin1Char('.') || c == QLatin1Char(' ')))
            return false;
    }
    return true;
}

} // namespace

std::optional<DesktopKeyFile> DesktopKeyFile::parse(const QByteArray& data) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError() || text.contains(QChar(0)))
        return std::nullopt;
    DesktopKeyFile file;
    QString group;
    bool inGroup = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            if (!trimmed.endsWith(QLatin1Char(']')) || trimmed.size() < 3)
                return std::nullopt;
            group = trimmed.mid(1, trimmed.size() - 2).toString();
            if (group.contains(QLatin1Char('[')) || group.contains(QLatin1Char(']')))
                return std::nullopt;
            if (!file.m_values.contains(group)) {
                file.m_groups.append(group);
                file.m_values.insert(group, {});
            }
            inGroup = true;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals < 0)
            return std::nullopt;
        const QString key = line.left(equals).trimmed().toString();
        if (!validKey(key))
            return std::nullopt;
        // A repeated key: the first one counts, as in GLib.
        auto& values = file.m_values[group];
        if (!values.contains(key))
            values.insert(key, line.mid(equals + 1).trimmed().toString());
    }
    return file;
}

bool DesktopKeyFile::hasKey(const QString& group, const QString& key) const {
    auto it = m_values.find(group);
    return it != m_values.end() && it->contains(key);
}

std::optional<QString> DesktopKeyFile::string(const QString& group, const QString& key) const {
    auto it = m_values.find(group);
    if (it == m_values.end())
        return std::nullopt;
    auto value = it->find(key);
    if (value == it->end())
        return std::nullopt;
    return unescape(*value, false);
}

std::optional<QString> DesktopKeyFile::localeString(const QString& group, const QString& key,
                                                    const QStringList& languages) const {
    for (const QString& language : languages) {
        // lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang.
        QString base = language.section(QLatin1Char('.'), 0, 0);
        const QString modifier =
            language.contains(QLatin1Char('@')) ? language.section(QLatin1Char('@'), 1) : QString();
        base = base.section(QLatin1Char('@'), 0, 0);
        const QString lang = base.section(QLatin1Char('_'), 0, 0);
        QStringList forms;
        if (!modifier.isEmpty())
            forms << base + QLatin1Char('@') + modifier;
        forms << base;
        if (!modifier.isEmpty())
            forms << lang + QLatin1Char('@') + modifier;
        forms << lang;
        for (const QString& form : forms) {
            if (auto value = string(group, key + QLatin1Char('[') + form + QLatin1Char(']')))
                return value;
        }
    }
    return string(group, key);
}

QStringList DesktopKeyFile::stringList(const QString& group, const QString& key) const {
    auto it = m_values.find(group);
    if (it == m_values.end() || !it->contains(key))
        return {};
    const QString value = unescape(it->value(key), true);
    QStringList items;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size() && value.at(i + 1) == QLatin1Char(';')) {
            current.append(QLatin1Char(';'));
            ++i;
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                items.append(current.trimmed());
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.trimmed().isEmpty())
        items.append(current.trimmed());
    return items;
}

std::optional<bool> DesktopKeyFile::boolean(const QString& group, const QString& key) const {
    const auto value = string(group, key);
    if (!value)
        return std::nullopt;
    if (*value == QLatin1String("true") || *value == QLatin1String("1"))
        return true;
    if (*value == QLatin1String("false") || *value == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QStringList DesktopKeyFile::userLanguages() {
    QStringList languages;
    for (const QString& name : QLocale().uiLanguages()) {
        QString form = name;
        form.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (!languages.contains(form))
            languages.append(form);
    }
    return languages;
}

QString DesktopKeyFile::escaped(const QString& text) {
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

QString DesktopKeyFile::execValue(const QStringList& command) {
    // Each word quoted when it needs to be (Desktop Entry rules, which the
    // file managers' own parsers accept too).
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    QStringList words;
    for (const QString& word : command) {
        bool needsQuotes = word.isEmpty();
        for (const QChar c : word)
            needsQuotes = needsQuotes || reserved.contains(c);
        if (!needsQuotes) {
            words.append(word);
            continue;
        }
        QString out = QStringLiteral("\"");
        for (const QChar c : word) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                out += u'\\';
            // A percent sign is a field code's start unless doubled.
            if (c == u'%')
                out += u'%';
            out += c;
        }
        words.append(out + u'"');
    }
    return escaped(words.join(u' ') + QStringLiteral(" %F"));
}
