// The routes file damaged in every way a disk, an editor or a stray command can
// damage it: the store must use the built-in routes, say so once, and never
// touch the file, whatever the user changes during the session.
#include "tests/unit/faults/StoreSession.h"
#include "tests/unit/store/StoreTestSupport.h"

#include "core/model/BuiltInRoutes.h"

#include <QJsonDocument>
#include <cerrno>

namespace {
const QString failurePrefix = QStringLiteral("Could not read saved settings (");
const QString failureSuffix =
    QStringLiteral("). The file was left unchanged; using built-in defaults for this session.");

// What the path itself is, without following a symbolic link, and what it
// holds when it can be followed.
struct PathStamp {
    FileStamp followed;
    bool isLink = false;
    QByteArray linkTarget;
    ino_t inode = 0;
    qint64 mtimeNanoseconds = 0;
    bool operator==(const PathStamp&) const = default;
};

PathStamp pathStampOf(const QString& path) {
    PathStamp stamp;
    stamp.followed = stampOf(path);
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return stamp;
    stamp.isLink = S_ISLNK(info.st_mode);
    stamp.inode = info.st_ino;
    stamp.mtimeNanoseconds = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    if (stamp.isLink) {
        char target[4096];
        const ssize_t length = ::readlink(native.constData(), target, sizeof target);
        if (length > 0)
            stamp.linkTarget = QByteArray(target, length);
    }
    return stamp;
}

Route richCustomRoute() {
    Route route = makeCustomRoute(QStringLiteral("custom.org"),
                                  QStringLiteral("Org Mode – Notizen"), QStringLiteral("org"));
    route.probeIdentifiers = {QStringLiteral("text/x-org")};
    route.editors = {{"com.example.Alpha", "Älpha", true, true, true, "x-alpha://{filename}"},
                     {"com.example.Beta", "Beta", false, false, true, std::nullopt}};
    route.activeBundleID = QStringLiteral("com.example.Alpha");
    Rule nested = makeRule(QStringLiteral("R1"), QStringLiteral("com.example.Beta"));
    nested.name = QStringLiteral("Entwürfe");
    PredicateGroup inner;
    inner.id = QStringLiteral("G2");
    inner.combine = PredicateGroupCombine::or_;
    Predicate folder;
    folder.id = QStringLiteral("P2");
    folder.kind = PredicateKind::parentFolder;
    folder.equalityOperator = EqualityOperator::isNot;
    folder.folderPath = QStringLiteral("/home/ann/Archiv");
    inner.predicates = {folder};
    nested.when.groups = {inner};
    nested.action.kind = RuleActionKind::bestRunningEditor;
    nested.action.preferenceOrder = QStringList{"com.example.Beta", "com.example.Alpha"};
    route.rules = {nested, makeRule(QStringLiteral("R2"), QStringLiteral("com.example.Alpha"))};
    route.defaultActionKind = RuleActionKind::selectFromRunningEditors;
    route.defaultOpenBundleIDs = QStringList{"com.example.Alpha"};
    route.enabledShortcuts = {{QStringLiteral("S1"), QStringLiteral("Zusammenfassen")}};
    return route;
}

// A valid routes file that uses most of the format, with text that is not
// ASCII so that cuts also fall inside multi-byte characters.
QByteArray validDocument() {
    Route markdown = BuiltInRoutes::all()[0];
    markdown.extensions.append(QStringLiteral("mdx"));
    markdown.rules = {makeRule(QStringLiteral("M1"), QStringLiteral("org.gnome.TextEditor"))};
    RouteStore::State state;
    state.routes = {markdown, richCustomRoute()};
    return RoutesFileCodec::encode(state);
}

class RoutesFileFaults : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        installSessionApplications(fake);
        ASSERT_TRUE(reference.isValid());
    }

    // The routes a store holds after the session when it started from the
    // built-in routes and could write (a missing file in another folder).
    QList<Route> sessionOnBuiltInRoutes() {
        RouteStore store(fake.types, fake.workspace, reference.filePath("routes.json"));
        EXPECT_FALSE(store.loadFailed());
        for (const StoreStep& step : storeSession())
            step.run(store);
        return store.routes();
    }

    // Loads the damaged file, checks the report, runs the session and checks
    // that memory changed and the file did not.
    void expectLoadFailsAndFileSurvives(const std::string& what) {
        SCOPED_TRACE(what);
        const PathStamp before = pathStampOf(path());
        const QStringList entriesBefore =
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
        RouteStore store(fake.types, fake.workspace, path());
        ASSERT_TRUE(store.loadFailed());
        ASSERT_TRUE(store.loadFailureMessage().has_value());
        const QString& message = *store.loadFailureMessage();
        EXPECT_TRUE(message.startsWith(failurePrefix) && message.endsWith(failureSuffix))
            << message.toStdString();
        EXPECT_GT(message.size(), failurePrefix.size() + failureSuffix.size())
            << "the reason is missing";
        EXPECT_EQ(routeIDs(store.routes()), (QList<QString>{"markdown", "plaintext"}));

        for (const StoreStep& step : storeSession()) {
            step.run(store);
            EXPECT_FALSE(store.lastWriteError().has_value()) << step.name << ": nothing is written";
        }
        EXPECT_TRUE(store.loadFailed());
        EXPECT_EQ(*store.loadFailureMessage(), message) << "reported once, unchanged";
        if (m_expectedSession.isEmpty())
            m_expectedSession = sessionOnBuiltInRoutes();
        EXPECT_EQ(store.routes(), m_expectedSession) << "changes live on in memory";
        EXPECT_EQ(pathStampOf(path()), before);
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
            entriesBefore);
    }

    QTemporaryDir reference;

private:
    QList<Route> m_expectedSession;
};

TEST_F(RoutesFileFaults, TheSessionItselfChangesEveryRouteAndIsStored) {
    // Guards the other tests: a session that changed nothing would prove nothing.
    const QList<Route> after = sessionOnBuiltInRoutes();
    RouteStore fresh(fake.types, fake.workspace, reference.filePath("fresh.json"));
    EXPECT_NE(after, fresh.routes());
    EXPECT_EQ(after.size(), 3);
    RouteStore reread(fake.types, fake.workspace, reference.filePath("routes.json"));
    EXPECT_EQ(reread.routes(), after);
}

TEST_F(RoutesFileFaults, FileCutShortAtEveryByteIsNeverOverwritten) {
    const QByteArray valid = validDocument();
    ASSERT_GT(valid.size(), 1000);
    int failedLoads = 0;
    for (qsizetype length = 0; length < valid.size(); ++length) {
        const QByteArray prefix = valid.left(length);
        write(prefix);
        ageFile(path());
        if (std::holds_alternative<RouteStore::State>(RoutesFileCodec::decode(prefix))) {
            // Only the trailing white space may be missing from a document that still decodes.
            EXPECT_EQ(prefix.trimmed(), valid.trimmed()) << "cut at " << length;
            continue;
        }
        ++failedLoads;
        expectLoadFailsAndFileSurvives("cut at byte " + std::to_string(length));
        if (HasFailure())
            return; // one broken offset says enough
    }
    EXPECT_GE(failedLoads, valid.trimmed().size());
}

struct DamagedBytes {
    const char* name;
    QByteArray bytes;
};

TEST_F(RoutesFileFaults, InvalidUtf8AndGarbageAreNeverOverwritten) {
    const QByteArray valid = validDocument();
    const qsizetype name = valid.indexOf("Org Mode");
    ASSERT_GT(name, 0);
    auto spliced = [&](const QByteArray& bytes) {
        return valid.left(name) + bytes + valid.mid(name + 3);
    };
    QByteArray utf16 = QByteArray("\xff\xfe", 2);
    for (const char c : valid.left(200))
        utf16.append(c).append('\0');
    QByteArray random;
    quint32 seed = 12345;
    for (int i = 0; i < 8192; ++i) {
        seed = seed * 1103515245u + 12345u;
        random.append(char(seed >> 24));
    }
    const DamagedBytes cases[] = {
        {"lone continuation byte", spliced("\x80")},
        {"Latin-1 byte", spliced("\xe9")},
        {"never UTF-8", spliced("\xff\xfe")},
        {"overlong slash", spliced("\xc0\xaf")},
        {"encoded surrogate", spliced("\xed\xa0\x80")},
        {"beyond U+10FFFF", spliced("\xf4\x90\x80\x80")},
        {"cut multi-byte character", spliced("\xe2\x80")},
        {"UTF-16 with byte order mark", utf16},
        {"random bytes", random},
        {"NUL bytes", QByteArray(4096, '\0')},
        {"JSON array", QByteArray("[{\"routes\": []}]")},
        {"JSON text", QByteArray("\"routes\"")},
        {"two documents", valid + valid},
        {"deeply nested", QByteArray(100000, '[') + QByteArray(100000, ']')},
    };
    for (const DamagedBytes& damaged : cases) {
        write(damaged.bytes);
        ageFile(path());
        expectLoadFailsAndFileSurvives(damaged.name);
    }
}

TEST_F(RoutesFileFaults, SymbolicLinkLoopsAreNeverReplaced) {
    const QByteArray routes = QFile::encodeName(path());
    const QByteArray other = QFile::encodeName(dir.filePath("other.json"));
    struct Loop {
        const char* name;
        std::function<void()> make;
    };
    const Loop loops[] = {
        {"link to itself", [&] { ASSERT_EQ(::symlink("routes.json", routes.constData()), 0); }},
        {"two links to each other",
         [&] {
             ASSERT_EQ(::symlink("other.json", routes.constData()), 0);
             ASSERT_EQ(::symlink("routes.json", other.constData()), 0);
         }},
        {"link through a looping folder",
         [&] {
             const QByteArray loopDir = QFile::encodeName(dir.filePath("loop"));
             ASSERT_EQ(::symlink("loop", loopDir.constData()), 0);
             ASSERT_EQ(::symlink("loop/routes.json", routes.constData()), 0);
         }},
    };
    for (const Loop& loop : loops) {
        for (const QString& entry :
             QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
            ASSERT_EQ(::unlink(QFile::encodeName(dir.filePath(entry)).constData()), 0);
        loop.make();
        struct stat info {};
        ASSERT_NE(::stat(routes.constData(), &info), 0);
        ASSERT_EQ(errno, ELOOP) << loop.name;
        expectLoadFailsAndFileSurvives(loop.name);
    }
}

TEST_F(RoutesFileFaults, LinkToADamagedFileKeepsBothLinkAndFile) {
    const QByteArray target = QFile::encodeName(dir.filePath("real.json"));
    {
        QFile file(dir.filePath("real.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(validDocument().left(100));
    }
    ASSERT_EQ(::symlink("real.json", QFile::encodeName(path()).constData()), 0);
    const FileStamp real = stampOf(dir.filePath("real.json"));
    expectLoadFailsAndFileSurvives("link to a cut-short file");
    EXPECT_EQ(stampOf(dir.filePath("real.json")), real);
}

} // namespace

namespace {
TEST_F(RoutesFileFaults, FifoInPlaceOfTheFileFailsWithoutBlocking) {
    // Opening a FIFO for reading would wait for a writer forever.
    const QByteArray native = QFile::encodeName(path());
    ASSERT_EQ(::mkfifo(native.constData(), 0600), 0);
    RouteStore store(fake.types, fake.workspace, path());
    ASSERT_TRUE(store.loadFailed());
    EXPECT_TRUE(store.loadFailureMessage()->contains(QStringLiteral("not a regular file")));
    for (const StoreStep& step : storeSession())
        step.run(store);
    struct stat info {};
    ASSERT_EQ(::lstat(native.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO was replaced";
}
} // namespace
