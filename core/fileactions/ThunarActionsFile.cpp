#include "core/fileactions/ThunarActionsFile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>

namespace {

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

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Where the document's actions are: ours (unique id starting with `ourPrefix`) and the end of the
// list. False when the text is not a well-formed <actions> document.
bool findActions(const QString& text, const QString& ourPrefix, QList<Span>& ours, Span& closing) {
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

namespace ThunarActionsFile {

QString path(const QString& configHome) {
    return configHome + QStringLiteral("/Thunar/uca.xml");
}

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages) {
    using Source = FileManagerAction::Source;
    static const QStringList fileTags = {
        QStringLiteral("audio-files"), QStringLiteral("image-files"), QStringLiteral("other-files"),
        QStringLiteral("text-files"), QStringLiteral("video-files")};
    QXmlStreamReader xml(data);
    QList<FileManagerAction> actions;
    struct Draft {
        QString uniqueID, name, command;
        int nameRank = 1000; // lower is a better language match
        bool files = false, hasCommand = false;
    };
    std::optional<Draft> draft;
    int depth = 0;
    const auto rankOf = [&languages](const QString& lang) {
        if (lang.isEmpty())
            return 999;
        for (qsizetype i = 0; i < languages.size(); ++i) {
            const QString& wanted = languages.at(i);
            if (wanted == lang || wanted.section(QLatin1Char('_'), 0, 0) == lang)
                return int(i);
        }
        return 1000;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        // Thunar writes no document type; one here only brings entities to expand.
        if (xml.isDTD() || xml.isEntityReference())
            return {FileManagerAction::unreadableFile(Source::thunarAction, path)};
        if (xml.isStartElement()) {
            ++depth;
            const auto element = xml.name();
            if (depth == 1 && element != QLatin1String("actions"))
                return {FileManagerAction::unreadableFile(Source::thunarAction, path)};
            if (depth == 2 && element == QLatin1String("action")) {
                draft = Draft{};
            } else if (depth == 3 && draft) {
                const QString lang = xml.attributes().value(QLatin1String("xml:lang")).toString();
                if (fileTags.contains(element.toString())) {
                    draft->files = true;
                    xml.skipCurrentElement();
                    --depth;
                } else if (element == QLatin1String("name")) {
                    const QString text = xml.readElementText();
                    --depth;
                    const int rank = rankOf(lang);
                    if (rank < draft->nameRank) {
                        draft->name = text;
                        draft->nameRank = rank;
                    }
                } else if (element == QLatin1String("unique-id")) {
                    draft->uniqueID = xml.readElementText();
                    --depth;
                } else if (element == QLatin1String("command")) {
                    draft->command = xml.readElementText();
                    draft->hasCommand = true;
                    --depth;
                }
            }
        } else if (xml.isEndElement()) {
            if (depth == 2 && draft) {
                // Of two actions with one id the first counts, so that the
                // checklist and the runner mean the same one.
                const QString key = draft->uniqueID.isEmpty() ? draft->name : draft->uniqueID;
                const bool duplicate =
                    std::any_of(actions.begin(), actions.end(),
                                [&key](const FileManagerAction& a) { return a.key == key; });
                if (draft->hasCommand && !duplicate) {
                    FileManagerAction action;
                    action.source = Source::thunarAction;
                    action.key = key;
                    action.name = draft->name.isEmpty() ? QFileInfo(path).fileName() : draft->name;
                    action.filePath = path;
                    action.exec = draft->command;
                    action.acceptsFiles = draft->files;
                    actions.append(action);
                }
                draft.reset();
            }
            --depth;
        }
    }
    if (xml.hasError())
        return {FileManagerAction::unreadableFile(Source::thunarAction, path)};
    if (actions.size() == 1)
        actions.first().key.clear();
    return actions;
}

QString commandLine(const QStringList& command) {
    // "%%" is Thunar's percent sign.
    return shellWords(command).replace(u'%', QStringLiteral("%%")) + QStringLiteral(" %F");
}

QByteArray write(const ActionEntry& entry) {
    return (QStringLiteral("<action>\n\t<icon></icon>\n\t<name>") + xmlText(entry.name) +
            QStringLiteral("</name>\n\t<submenu></submenu>\n\t<unique-id>") + entry.id +
            QStringLiteral("</unique-id>\n\t<command>") + xmlText(commandLine(entry.command)) +
            QStringLiteral("</command>\n\t<description>") + xmlText(entry.description) +
            QStringLiteral("</description>\n\t<range>*</range>\n\t<patterns>*</patterns>\n"
                           "\t<directories/>\n\t<audio-files/>\n\t<image-files/>\n"
                           "\t<other-files/>\n\t<text-files/>\n\t<video-files/>\n</action>\n"))
        .toUtf8();
}

std::optional<QByteArray> merged(const std::optional<QByteArray>& existing,
                                 const QString& ourPrefix, const QList<ActionEntry>& entries) {
    QByteArray actions;
    for (const ActionEntry& entry : entries)
        actions += write(entry);
    if (!existing)
        return entries.isEmpty() ? QByteArray()
                                 : emptyList.chopped(11).toByteArray() + actions + "</actions>\n";
    // Offsets come from the decoded text; a file that does not decode as UTF-8
    // would not come back byte for byte, so it is left alone.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(*existing);
    if (decoder.hasError() || text.toUtf8() != *existing)
        return std::nullopt;
    QList<Span> ours;
    Span closing;
    if (!findActions(text, ourPrefix, ours, closing))
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

bool holdsOurs(const QByteArray& existing, const QString& ourPrefix) {
    QList<Span> ours;
    Span closing;
    return findActions(QString::fromUtf8(existing), ourPrefix, ours, closing) && !ours.isEmpty();
}

} // namespace ThunarActionsFile
