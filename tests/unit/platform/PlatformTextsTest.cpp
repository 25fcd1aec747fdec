// The texts the code looks up, read from its sources: a key that matches no row
// (a typo, a reworded text) would show the original wording without a word.
#include "core/platform/PlatformTexts.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {
// The string literal at `at` (adjacent literals joined, escapes decoded), `at`
// moved past it; none when no literal starts there.
std::optional<QString> literalAt(const QString& source, qsizetype& at) {
    std::optional<QString> result;
    for (qsizetype i = at; i < source.size(); at = ++i) {
        while (i < source.size() && source[i].isSpace())
            ++i;
        if (i >= source.size() || source[i] != u'"')
            break;
        QString text;
        for (++i; i < source.size() && source[i] != u'"'; ++i) {
            if (source[i] != u'\\')
                text += source[i];
            else if (source[++i] == u'u')
                text += QChar(source.mid(i + 1, 4).toUShort(nullptr, 16)), i += 4;
            else
                text += source[i] == u'n' ? QChar(u'\n') : source[i];
        }
        result = result.value_or(QString()) + text;
    }
    return result;
}

TEST(PlatformTexts, EveryTextTheCodeAsksForHasLinuxWordingAndEveryRowIsAsked) {
    QStringList asked;      // literal arguments of PlatformTexts::text
    QSet<QString> literals; // every literal of the code outside the table
    const QString call = QStringLiteral("PlatformTexts::text(");
    for (const char* folder : {"/app", "/core", "/platform"}) {
        QDirIterator it(QStringLiteral(CORVANTA_SOURCE_DIR) + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.fileName().endsWith(QStringLiteral("core/platform/PlatformTexts.cpp")))
                continue;
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
            const QString source = QString::fromUtf8(file.readAll());
            for (qsizetype at = source.indexOf(u'"'); at >= 0; at = source.indexOf(u'"', at + 1)) {
                const qsizetype from = source.lastIndexOf(call, at);
                const bool isKey =
                    from >= 0 &&
                    source.mid(from + call.size(), at - from - call.size()).trimmed().isEmpty();
                if (const std::optional<QString> literal = literalAt(source, at)) {
                    literals.insert(*literal);
                    if (isKey)
                        asked.append(*literal);
                }
            }
        }
    }
    ASSERT_GE(asked.size(), 25) << "the sources were read";
    for (const QString& key : asked) {
        const QString shown = PlatformTexts::text(key.toUtf8().constData());
        for (const char* macOnly :
             {"Finder", "macOS", "AppleScript", "System Settings", "Library", "VoiceOver",
              "menu bar", "Menu Bar", "\u2318", "\u2325", "\u2303", ".app"})
            EXPECT_FALSE(shown.contains(QString::fromUtf8(macOnly))) << qPrintable(key);
    }
    // A row no code asks for is a text the code reworded since.
    for (const PlatformTexts::Replacement& row : PlatformTexts::replacements())
        EXPECT_TRUE(literals.contains(QString::fromUtf8(row.original))) << row.original;
}
} // namespace
