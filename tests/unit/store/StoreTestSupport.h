#pragma once

#include "core/model/RouteStore.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// What tells a rewrite apart from no write at all: an atomic replace gives the
// file a new inode even when the bytes come out the same.
struct FileStamp {
    bool exists = false;
    bool isDirectory = false;
    QByteArray bytes;
    ino_t inode = 0;
    qint64 mtimeSeconds = 0;
    qint64 mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

inline FileStamp stampOf(const QString& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp = {true,        S_ISDIR(info.st_mode), {},
             info.st_ino, info.st_mtim.tv_sec,   info.st_mtim.tv_nsec};
    QFile file(path);
    if (!stamp.isDirectory && file.open(QIODevice::ReadOnly))
        stamp.bytes = file.readAll();
    return stamp;
}

// Moves the file's modification time far into the past, so that any later
// write shows up even within the file system's time resolution.
inline void ageFile(const QString& path) {
    const struct timespec times[2] = {{978307200, 0}, {978307200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// Runs `body` without root's power to ignore file permissions: in a child
// switched to "nobody" when the tests run as root, otherwise right here. The
// body returns 0 for success or a code naming the check that failed.
inline int runWithoutRoot(const std::function<int()>& body) {
    if (::geteuid() != 0)
        return body();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(90);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return 91;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 92;
}

inline QList<QString> routeIDs(const QList<Route>& routes) {
    QList<QString> ids;
    for (const Route& route : routes)
        ids.append(route.id);
    return ids;
}

inline QStringList editorIDs(const Route& route) {
    QStringList ids;
    for (const Editor& editor : route.editors)
        ids.append(editor.bundleID);
    return ids;
}

inline Rule makeRule(const QString& id, const QString& bundleID) {
    Rule rule;
    rule.id = id;
    rule.when.id = id + QStringLiteral("-group");
    Predicate predicate;
    predicate.id = id + QStringLiteral("-predicate");
    predicate.kind = PredicateKind::fileName;
    predicate.stringOperator = StringMatchOperator::contains;
    predicate.stringValue = id;
    rule.when.predicates = {predicate};
    rule.action.kind = RuleActionKind::specificEditor;
    rule.action.bundleID = bundleID;
    rule.action.bundleIDs = QStringList{bundleID};
    return rule;
}

inline Route makeCustomRoute(const QString& id, const QString& name, const QString& extension) {
    Route route;
    route.id = id;
    route.name = name;
    route.extensions = {extension};
    route.isCustom = true;
    route.normalizeUtilities();
    return route;
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
    void write(const QByteArray& data) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(data), data.size());
    }
    // The current format, plus "pathRules" where a route has them (older files).
    void writeRoutes(const QList<Route>& routes) {
        QJsonArray array;
        for (const Route& route : routes) {
            QJsonObject object = RoutesFileCodec::encode(route);
            QJsonArray pathRules;
            for (const PathRule& rule : route.pathRules.value_or(QList<PathRule>{}))
                pathRules.append(
                    QJsonObject{{"pathPrefix", rule.pathPrefix}, {"bundleID", rule.bundleID}});
            if (route.pathRules)
                object.insert("pathRules", pathRules);
            array.append(object);
        }
        write(QJsonDocument(QJsonObject{{"version", 2}, {"routes", array}}).toJson());
    }
    RouteStore::State readState() const {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        auto decoded = RoutesFileCodec::decode(file.readAll());
        if (const DecodeError* error = std::get_if<DecodeError>(&decoded)) {
            ADD_FAILURE() << "routes file does not decode: " << error->description().toStdString();
            return {};
        }
        return std::get<RouteStore::State>(decoded);
    }

    QTemporaryDir dir;
    FakePlatform fake;
};
