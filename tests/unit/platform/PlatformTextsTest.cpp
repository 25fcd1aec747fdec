// The texts the code looks up, read from its sources: a key that matches no row
// (a typo, a reworded text) would show the original wording without a word.
#include "core/platform/PlatformTexts.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {
// The string literal starting at `at` (adjacent literals joined, escapes decoded);
// `at` ends after it. Empty when no literal starts there.
std::optional<QString> literalAt(const QString& source, qsizetype& at) {
    std::optional<QString> result;
    for (;;) {
        qsizetype i = at;
        while (i < source.size() && source[i].isSpace())
            ++i;
        if (i >= source.size() || source[i] != u'"')
            return result;
        QString text;
        for (++i; i < source.size() && source[i] != u'"'; ++i) {
            if (source[i] != u'\\') {
                text += source[i];
                continue;
            }
            const QChar escaped = source[++i];
            if (escaped == u'u') {
                text += QChar(source.mid(i + 1, 4).toUShort(nullptr, 16));
                i += 4;
            } else {
                text += escaped == u'n' ? QChar(u'\n') : escaped;
            }
        }
        at = i + 1;
        result = result.value_or(QString()) + text;
    }
}

struct Sources {
    QStringList asked;      // literal arguments of PlatformTexts::text
    QSet<QString> literals; // every literal of the code outside the table
};

Sources readSources() {
    Sources sources;
    for (const char* folder : {"app", "core", "platform"}) {
        QDirIterator it(QStringLiteral(CORVANTA_SOURCE_DIR "/") + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QStringLiteral("core/platform/PlatformTexts.cpp")))
                continue;
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
            const QString source = QString::fromUtf8(file.readAll());
            for (qsizetype at = source.indexOf(u'"'); at >= 0; at = source.indexOf(u'"', at)) {
                const qsizetype call =
                    source.lastIndexOf(QStringLiteral("PlatformTexts::text("), at);
                const bool asked =
                    call >= 0 && source.mid(call + 20, at - call - 20).trimmed().isEmpty();
                if (const std::optional<QString> literal = literalAt(source, at)) {
                    sources.literals.insert(*literal);
                    if (asked)
                        sources.asked.append(*literal);
                } else {
                    ++at;
                }
            }
        }
    }
    return sources;
}

TEST(PlatformTexts, EveryTextTheCodeAsksForHasLinuxWordingAndEveryRowIsAsked) {
    const Sources sources = readSources();
    ASSERT_GE(sources.asked.size(), 25) << "the sources were read";
    // Words that name things only macOS has.
    const QStringList macOnly = {"Finder",  "macOS",     "AppleScript", "System Settings",
                                 "Library", "VoiceOver", "menu bar",    "Menu Bar",
                                 "\u2318",  "\u2325",    "\u2303",      ".app"};
    for (const QString& asked : sources.asked) {
        const QString shown = PlatformTexts::text(asked.toUtf8().constData());
        for (const QString& word : macOnly)
            EXPECT_FALSE(shown.contains(word)) << qPrintable(asked);
    }
    // A row no code asks for is a text the code reworded since.
    for (const PlatformTexts::Replacement& row : PlatformTexts::replacements())
        EXPECT_TRUE(sources.literals.contains(QString::fromUtf8(row.original))) << row.original;
}
} // namespace
