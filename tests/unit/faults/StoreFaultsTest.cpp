// The routes file damaged in every way a disk, an editor or a stray command can
// damage it, and writes that fail half way through a session: the file on disk
// is never made worse, and memory never loses a change.
#include "tests/support/StoreTestSupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QString markdown = QStringLiteral("markdown");
const QString plaintext = QStringLiteral("plaintext");
const QString viewer = QStringLiteral("com.example.Viewer");

// A session of changes: each step writes through another path of the store.
using Step = std::function<void(RouteStore&)>;
QList<Step> session() {
    return {
        [](RouteStore& s) { s.setEnabled(markdown, viewer, true); },
        [](RouteStore& s) {
            s.setURLSchemeTemplate(markdown, viewer, QStringLiteral("x-v://o?f={filepath}"));
        },
        [](RouteStore& s) {
            s.upsertRule(markdown, makeRule(QStringLiteral("R1"), viewer));
            Rule named = makeRule(QStringLiteral("R2"), viewer);
            named.name = QStringLiteral("Entwürfe – alt");
            s.upsertRule(markdown, named);
            s.moveRule(markdown, 1, 0);
            s.setRuleEnabled(markdown, QStringLiteral("R1"), false);
        },
        [](RouteStore& s) { s.addEditor(plaintext, "com.example.Manual", "Manual"); },
        [](RouteStore& s) {
            if (auto taught = s.addCustomRoute({"rst", QStringLiteral("text/x-rst"), "Rst"}))
                s.addEditor(taught->id, "com.example.Rst", "Rst Editor");
        },
        [](RouteStore& s) { s.addTypeToRoute(markdown, QStringLiteral("mdx"), std::nullopt); },
        [](RouteStore& s) {
            if (auto org = s.addCustomRoute({"org", std::nullopt, "Org"}))
                s.removeCustomRoute(org->id);
        },
        [](RouteStore& s) { s.rescan(markdown); },
        [](RouteStore& s) { s.save(); },
    };
}

class StoreFaults : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        fake.types.addType(QStringLiteral("text/x-rst"), {QStringLiteral("rst")},
                           {QStringLiteral("text/plain")}, QStringLiteral("reStructuredText"));
        ASSERT_TRUE(reference.isValid());
        RouteStore store(fake.types, fake.workspace, reference.filePath("session.json"));
        const QList<Route> builtIns = store.routes();
        for (const Step& step : session()) {
            step(store);
            afterStep.append(store.routes());
        }
        afterSession = afterStep.last();
        // A session that changed nothing would prove nothing.
        ASSERT_NE(afterSession, builtIns);
        // Markdown alone: the route that uses most of the format, and short enough
        // to cut at every byte.
        RouteStore::State state;
        state.routes = {afterSession.first()};
        valid = RoutesFileCodec::encode(state).trimmed();
        ASSERT_TRUE(afterSession.first().id == markdown && valid.contains("Entw\xc3\xbc"));
    }

    // Loads the damaged file, checks the report, runs the session and checks
    // that memory changed and the folder did not.
    void expectLoadFailsAndFolderSurvives(const std::string& what) {
        SCOPED_TRACE(what);
        static const QString prefix = QStringLiteral("Could not read saved settings (");
        static const QString suffix = QStringLiteral(
            "). The file was left unchanged; using built-in defaults for this session.");
        const auto before = snapshot(dir.path());
        RouteStore store(fake.types, fake.workspace, path());
        ASSERT_TRUE(store.loadFailed());
        const QString message = store.loadFailureMessage().value_or(QString());
        EXPECT_TRUE(message.startsWith(prefix) && message.endsWith(suffix) &&
                    message.size() > prefix.size() + suffix.size())
            << message.toStdString();
        EXPECT_EQ(routeIDs(store.routes()), (QList<QString>{markdown, plaintext}));
        for (const Step& step : session()) {
            step(store);
            EXPECT_FALSE(store.lastWriteError().has_value()) << "nothing is written";
        }
        EXPECT_EQ(store.loadFailureMessage(), std::optional(message)) << "reported once";
        EXPECT_EQ(store.routes(), afterSession) << "changes live on in memory";
        EXPECT_EQ(snapshot(dir.path()), before);
    }

    QTemporaryDir reference;
    // What memory holds after each step of the session, and at its end.
    QList<QList<Route>> afterStep;
    QList<Route> afterSession;
    // A routes file from the session, with text that is not ASCII.
    QByteArray valid;
};

TEST_F(StoreFaults, FileCutShortAtEveryByteIsNeverTouched) {
    for (qsizetype length = 0; length < valid.size() && !HasFailure(); ++length) {
        write(valid.left(length));
        expectLoadFailsAndFolderSurvives("cut at byte " + std::to_string(length));
    }
}

TEST_F(StoreFaults, DamagedFilesAndOddPathsAreNeverTouched) {
    const qsizetype at = valid.indexOf("Entw");
    const auto spliced = [&](const char* bytes) {
        write(valid.left(at) + bytes + valid.mid(at + 3));
    };
    QByteArray utf16("\xff\xfe", 2), random;
    for (const char c : valid.left(200))
        utf16.append(c).append('\0');
    for (quint32 seed = 12345; random.size() < 8192; seed = seed * 1103515245u + 12345u)
        random.append(char(seed >> 24));
    const QByteArray routes = QFile::encodeName(path());
    const auto link = [&](const char* target, const char* at) {
        ASSERT_EQ(::symlink(target, QFile::encodeName(dir.filePath(at)).constData()), 0);
    };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"lone continuation byte", [&] { spliced("\x80"); }},
        {"overlong slash", [&] { spliced("\xc0\xaf"); }},
        {"encoded surrogate", [&] { spliced("\xed\xa0\x80"); }},
        {"beyond U+10FFFF", [&] { spliced("\xf4\x90\x80\x80"); }},
        {"cut multi-byte character", [&] { spliced("\xe2\x80"); }},
        {"UTF-16 with byte order mark", [&] { write(utf16); }},
        {"random bytes", [&] { write(random); }},
        {"NUL bytes", [&] { write(QByteArray(4096, '\0')); }},
        {"JSON array", [&] { write("[{\"routes\": []}]"); }},
        {"two documents", [&] { write(valid + valid); }},
        {"deeply nested", [&] { write(QByteArray(100000, '[') + QByteArray(100000, ']')); }},
        {"a folder", [&] { ASSERT_EQ(::mkdir(routes.constData(), 0700), 0); }},
        // Opening a FIFO for reading would wait for a writer forever.
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(routes.constData(), 0600), 0); }},
        {"link to itself", [&] { link("routes.json", "routes.json"); }},
        {"two links to each other",
         [&] {
             link("other.json", "routes.json");
             link("routes.json", "other.json");
         }},
        {"link through a looping folder",
         [&] {
             link("loop", "loop");
             link("loop/routes.json", "routes.json");
         }},
        {"link to a cut-short file",
         [&] {
             link("real.json", "routes.json");
             QFile real(dir.filePath("real.json"));
             ASSERT_TRUE(real.open(QIODevice::WriteOnly) && real.write(valid.left(100)) == 100);
         }},
    };
    for (const auto& [name, make] : cases) {
        for (const QString& entry :
             QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
            ASSERT_EQ(std::remove(QFile::encodeName(dir.filePath(entry)).constData()), 0);
        make();
        expectLoadFailsAndFolderSurvives(name);
    }
}

TEST_F(StoreFaults, FailingWritesKeepThePreviousFileAndLoseNothing) {
    // Beyond the size limit a write fails with EFBIG instead of ending the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const std::pair<const char*, int> faults[] = {{"file size limit", RLIMIT_FSIZE},
                                                  {"no free file descriptor", RLIMIT_NOFILE}};
    for (const auto& [name, resource] : faults) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("routes.json"));
        const QList<Step> steps = session();
        RouteStore store(fake.types, fake.workspace, file);
        ASSERT_FALSE(store.loadFailed());
        const auto before = snapshot(folder.path());
        const qsizetype failing = steps.size() - 3;
        {
            // Unlike permissions, a limit holds for root too. Without a free
            // descriptor the temporary file that replaces the routes file cannot be made.
            const int fd = ::dup(0);
            ::close(fd);
            struct rlimit old {};
            ASSERT_EQ(::getrlimit(resource, &old), 0);
            const struct rlimit lowered {
                resource == RLIMIT_FSIZE ? 512 : rlim_t(fd), old.rlim_max
            };
            ASSERT_EQ(::setrlimit(resource, &lowered), 0);
            for (qsizetype i = 0; i < failing; ++i) {
                steps[i](store);
                // Checked while the fault is in place: nothing may be opened here.
                const bool failed = store.lastWriteError().has_value();
                const bool kept = store.routes() == afterStep[i];
                EXPECT_TRUE(failed && kept) << "step " << i;
            }
            ASSERT_EQ(::setrlimit(resource, &old), 0);
        }
        EXPECT_EQ(snapshot(folder.path()), before) << "previous file kept, no temporary file left";
        // The first write after the fault stores everything memory holds.
        steps[failing](store);
        EXPECT_FALSE(store.lastWriteError().has_value());
        EXPECT_EQ(RouteStore(fake.types, fake.workspace, file).routes(), afterStep[failing]);
    }
    std::signal(SIGXFSZ, oldHandler);
}
// Permissions do not bind root: a check that needs them runs in a child
// process as "nobody" when the tests run as root. Returns the child's verdict.
bool passesAsOrdinaryUser(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A file the user may write but not read loads the built-in routes and is
// never written: nothing but the store's own guard keeps it.
TEST_F(StoreFaults, UnreadableFileIsNeverReplaced) {
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    write(valid);
    const QByteArray file = QFile::encodeName(path());
    ASSERT_TRUE(::geteuid() != 0 || ::chown(file.constData(), 65534, 65534) == 0);
    ASSERT_EQ(::chmod(file.constData(), 0200), 0);
    const auto before = snapshot(dir.path());
    EXPECT_TRUE(passesAsOrdinaryUser([&] {
        RouteStore store(fake.types, fake.workspace, path());
        for (const Step& step : session())
            step(store);
        return store.loadFailed() && store.routes() == afterSession;
    }));
    EXPECT_EQ(snapshot(dir.path()), before);
}
} // namespace
