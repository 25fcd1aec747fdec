#include "core/history/RoutingHistory.h"
#include "core/history/RoutingHistoryFile.h"
#include "tests/support/FakeServices.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimeZone>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {
using Outcome = RoutingHistoryEntry::Outcome;

RoutingHistoryEntry entry(const QByteArray& path, Outcome outcome = Outcome::opened) {
    RoutingHistoryEntry e;
    e.when = QDateTime(QDate(2026, 12, 7), QTime(15, 40, 2, 123), QTimeZone::utc());
    e.path = path;
    e.outcome = outcome;
    e.routeID = QStringLiteral("markdown");
    e.routeName = QStringLiteral("Markdown");
    return e;
}

// Every field survives the file, the path's bytes exactly: text or not.
TEST(RoutingHistory, EveryKindOfEntrySurvivesTheFileByteForByte) {
    QList<RoutingHistoryEntry> entries;
    entries << entry("/home/ann/Entwürfe/notes.md");
    entries.last().ruleID = QStringLiteral("R1");
    entries.last().ruleName = QStringLiteral("Drafts");
    entries.last().editors = {{QStringLiteral("org.kde.kate"), QStringLiteral("Kate")}};
    entries << entry("/tmp/latin1-\xe9\xff.md", Outcome::pickerCancelled);
    entries.last().arrival = {RoutingArrival::Kind::hotkey, {QStringLiteral("rule-R5")}, false};
    entries << entry("/tmp/a\nnewline \"quoted\".md", Outcome::failed);
    entries.last().failure = QStringLiteral("Could not open Kate: No such file");
    entries.last().arrival = {RoutingArrival::Kind::link, {}, true};
    entries << entry("/tmp/x.md", Outcome::utilityRun);
    entries.last().utility = QStringLiteral("Copy Path");
    entries << entry("/tmp/unknown.zzq", Outcome::notRouted);
    entries.last().routeID.clear();
    entries.last().routeName.clear();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state/Corvanta/history.jsonl"));
    QString error;
    ASSERT_TRUE(RoutingHistoryFile::write(path, entries, error)) << error.toStdString();
    EXPECT_EQ(RoutingHistoryFile::read(path), entries);
    // One line each: newlines in paths are escaped.
    EXPECT_EQ(readFile(path).count('\n'), entries.size());
}

TEST(RoutingHistory, TheFileKeeps500AndNeverHalfWritesOrReplacesWhatItCannotRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.jsonl"));
    QList<RoutingHistoryEntry> many;
    for (int i = 0; i < 501; ++i)
        many << entry("/tmp/" + QByteArray::number(i) + ".md");
    QString error;
    ASSERT_TRUE(RoutingHistoryFile::write(path, many, error));
    const auto kept = RoutingHistoryFile::read(path);
    ASSERT_EQ(kept->size(), 500);
    EXPECT_EQ(kept->first().path, "/tmp/0.md");
    EXPECT_EQ(kept->last().path, "/tmp/499.md");

    writeFile(path, "{ not json\n{\"when\":\"yesterday\"}\n" +
                        QJsonDocument(entry("/tmp/ok.md").toJson()).toJson(QJsonDocument::Compact));
    EXPECT_EQ(RoutingHistoryFile::read(path), QList{entry("/tmp/ok.md")});
    // New entries go before the file's own, damaged lines left out, 500 in all.
    const auto older = RoutingHistoryFile::Older::kept;
    ASSERT_TRUE(RoutingHistoryFile::write(path, {entry("/tmp/new.md")}, error, older));
    EXPECT_EQ(RoutingHistoryFile::read(path), (QList{entry("/tmp/new.md"), entry("/tmp/ok.md")}));
    ASSERT_TRUE(RoutingHistoryFile::write(path, many.mid(0, 499), error, older));
    EXPECT_EQ(RoutingHistoryFile::read(path)->last(), entry("/tmp/new.md"));
    EXPECT_EQ(readFile(path).count('\n'), 500);

    // Two writers at once (the launchers of two files opened while no tray
    // runs): each adds to what the other wrote.
    QFile::remove(path);
    auto prependEach = [&](const QByteArray& name) {
        QString threadError;
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(RoutingHistoryFile::write(path, {entry("/tmp/" + name + ".md")},
                                                  threadError, older));
    };
    std::thread first(prependEach, "first"), second(prependEach, "second");
    first.join();
    second.join();
    EXPECT_EQ(RoutingHistoryFile::read(path)->size(), 200);

    // A file that is there but cannot be read (a socket stands in, root or
    // not) is not replaced by the new entries alone.
    const QString unreadable = dir.filePath(QStringLiteral("unreadable.jsonl"));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(unreadable).constData(), sizeof address.sun_path);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_FALSE(RoutingHistoryFile::write(unreadable, {entry("/tmp/new.md")}, error, older));
    EXPECT_TRUE(QFileInfo(unreadable).exists() && !QFileInfo(unreadable).isFile());
    ::close(socket);

    // The disk fills up halfway through (a file size limit stands in, root or
    // not): the old file stays whole and the error is told.
    const QByteArray before = readFile(path);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const struct rlimit small { 4096, limit.rlim_max };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = RoutingHistoryFile::write(path, many, error);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(RoutingHistoryFile::read(dir.filePath(QStringLiteral("none.jsonl"))),
              QList<RoutingHistoryEntry>());
}

TEST(RoutingHistory, RecordsWhileRememberingIsOnWritesOffThreadAndSurvivesAnUnwritableFile) {
    QTemporaryDir dir;
    FakePreferences preferences;
    const QString path = dir.filePath(QStringLiteral("Corvanta/history.jsonl"));
    {
        RoutingHistory history(preferences, path);
        history.record(entry("/tmp/a.md"));
        history.record(entry("/tmp/b.md"));
        history.waitForWrites();
        EXPECT_EQ(RoutingHistoryFile::read(path), (QList{entry("/tmp/b.md"), entry("/tmp/a.md")}));
        history.setEnabled(false);
        history.record(entry("/tmp/c.md"));
        EXPECT_EQ(history.entries().size(), 2);
    }
    preferences.setBoolean(PreferenceKeys::remembersRoutedFiles, true);
    RoutingHistory reopened(preferences, path);
    EXPECT_EQ(reopened.entries().size(), 2);
    reopened.clear();
    reopened.waitForWrites();
    EXPECT_FALSE(QFile::exists(path));

    // Its folder is a file: nothing can be written, routing goes on regardless.
    writeFile(dir.filePath(QStringLiteral("blocked")), {});
    RoutingHistory blocked(preferences, dir.filePath(QStringLiteral("blocked/history.jsonl")));
    blocked.record(entry("/tmp/d.md"));
    blocked.waitForWrites();
    EXPECT_EQ(blocked.entries(), QList{entry("/tmp/d.md")});
}
} // namespace
