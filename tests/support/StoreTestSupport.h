#pragma once

#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// What tells a rewrite apart from no write at all: an atomic replace gives the
// file a new inode even when the bytes come out the same.
struct FileStamp {
    QByteArray bytes;
    ino_t inode = 0;
    qint64 mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

inline FileStamp stampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    QFile file(path);
    const bool read = !S_ISDIR(info.st_mode) && file.open(QIODevice::ReadOnly);
    return {read ? file.readAll() : QByteArray(), info.st_ino,
            info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

// Moves the file's modification time far into the past, so that any later
// write shows up even within the file system's time resolution.
inline void ageFile(const QString& path) {
    const struct timespec times[2] = {{978307200, 0}, {978307200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

inline QList<QString> routeIDs(const QList<Route>& routes) {
    QList<QString> ids;
    for (const Route& route : routes)
        ids.append(route.id);
    return ids;
}

// A "file name contains <id>" rule opening `bundleID`.
inline Rule makeRule(const QString& id, const QString& bundleID) {
    Predicate predicate;
    predicate.id = id + QStringLiteral("-predicate");
    predicate.stringOperator = StringMatchOperator::contains;
    predicate.stringValue = id;
    Rule rule;
    rule.id = id;
    rule.when.id = id + QStringLiteral("-group");
    rule.when.predicates = {predicate};
    rule.action.bundleID = bundleID;
    rule.action.bundleIDs = QStringList{bundleID};
    return rule;
}

// A routes file in a temporary folder, opened by a store over the fake platform.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fake.workspace.install({"io.corvanta.Corvanta", "Corvanta", {}, {}, {}, {}});
        fake.workspace.install(
            {"org.gnome.TextEditor", "Text Editor", {"text/plain", "text/markdown"}, {}, {}, {}});
        fake.workspace.install({"com.example.Viewer", "Viewer", {}, {"text/markdown"}, {}, {}});
    }

    QString path() const { return dir.filePath(QStringLiteral("routes.json")); }
    std::unique_ptr<RouteStore> open() {
        return std::make_unique<RouteStore>(fake.types, fake.workspace, path());
    }
    void write(const QByteArray& data) { writeFile(path(), data); }
    void writeRoutes(const QList<Route>& routes) { write(encodedRoutes(routes)); }
    RouteStore::State readState() const {
        auto decoded = RoutesFileCodec::decode(stampOf(path()).bytes);
        EXPECT_TRUE(std::holds_alternative<RouteStore::State>(decoded)) << "the file must decode";
        return std::holds_alternative<RouteStore::State>(decoded)
                   ? std::get<RouteStore::State>(decoded)
                   : RouteStore::State{};
    }

    QTemporaryDir dir;
    FakePlatform fake;
};
