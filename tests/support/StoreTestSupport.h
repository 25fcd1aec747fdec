#pragma once

#include "tests/support/FakePlatform.h"
#include "tests/support/RoutingTestSupport.h"
#include "tests/support/RuleBuilders.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// What tells a rewrite apart from no write at all: an atomic replace gives the
// file a new inode even when the bytes come out the same. A link is not followed.
struct FileStamp {
    QByteArray bytes;
    ino_t inode = 0;
    mode_t mode = 0;
    qint64 mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

inline FileStamp stampOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {S_ISREG(info.st_mode) ? readFile(path) : QByteArray(), info.st_ino, info.st_mode,
            info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

// Every entry of `folder` by name.
inline std::map<QString, FileStamp> snapshot(const QString& folder) {
    std::map<QString, FileStamp> entries;
    for (const QString& name :
         QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        entries[name] = stampOf(folder + u'/' + name);
    return entries;
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

// A "file name contains <id>" rule opening `bundleID`, with ids made from `id`
// so that two made alike compare equal.
inline Rule makeRule(const QString& id, const QString& bundleID) {
    using namespace RuleBuilders;
    Rule rule = RuleBuilders::rule(allOf({fileName(SO::contains, id)}), openIn({bundleID}));
    rule.id = id;
    rule.when.id = id + "-group";
    rule.when.predicates[0].id = id + "-predicate";
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
