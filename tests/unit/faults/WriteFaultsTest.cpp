// Writes that fail half way through a session: the previous file must stay
// as it was, memory must keep every change, and the first write that succeeds
// again must store all of them.
#include "tests/unit/faults/StoreSession.h"
#include "tests/unit/store/StoreTestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>

namespace {
// Lowers one resource limit of this process for a scope.
class ScopedLimit {
public:
    ScopedLimit(int resource, rlim_t value)
        : m_resource(resource) {
        m_active = ::getrlimit(resource, &m_old) == 0;
        struct rlimit lowered = m_old;
        lowered.rlim_cur = value;
        m_active = m_active && ::setrlimit(resource, &lowered) == 0;
    }
    ~ScopedLimit() {
        if (m_active)
            ::setrlimit(m_resource, &m_old);
    }
    bool active() const { return m_active; }

private:
    int m_resource;
    struct rlimit m_old {};
    bool m_active = false;
};

// The lowest descriptor number a new file would get.
int nextFreeDescriptor() {
    const int fd = ::dup(0);
    if (fd >= 0)
        ::close(fd);
    return fd;
}

// One way of making every write fail while it is in place.
// (A read-only folder is the store tests' case.)
struct WriteFault {
    const char* name;
    // Returns the guard that lifts the fault when destroyed.
    std::function<std::shared_ptr<void>(const QString& folder)> impose;
};

const QList<WriteFault>& writeFaults() {
    static const QList<WriteFault> faults{
        {"file size limit",
         [](const QString&) -> std::shared_ptr<void> {
             // A write beyond the limit fails with EFBIG instead of ending the process.
             auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
             auto limit = std::make_shared<ScopedLimit>(RLIMIT_FSIZE, 512);
             if (!limit->active())
                 return nullptr;
             return std::shared_ptr<void>(limit.get(), [limit, oldHandler](void*) mutable {
                 limit.reset();
                 std::signal(SIGXFSZ, oldHandler);
             });
         }},
        {"no free file descriptor",
         [](const QString&) -> std::shared_ptr<void> {
             // The temporary file that replaces the routes file cannot be created;
             // unlike permissions this holds for root too.
             auto limit = std::make_shared<ScopedLimit>(RLIMIT_NOFILE, nextFreeDescriptor());
             if (!limit->active())
                 return nullptr;
             return limit;
         }},
    };
    return faults;
}

class WriteFaults : public StoreTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        installSessionApplications(fake);
        ASSERT_TRUE(reference.isValid());
    }
    QTemporaryDir reference;
};

TEST_P(WriteFaults, PreviousFileStaysAndTheNextGoodWriteStoresEverything) {
    const WriteFault& fault = writeFaults()[GetParam()];
    // A store that writes normally runs the same steps alongside.
    RouteStore healthy(fake.types, fake.workspace, reference.filePath("routes.json"));
    RouteStore store(fake.types, fake.workspace, path());
    ASSERT_FALSE(store.loadFailed());
    ASSERT_EQ(store.routes(), healthy.routes());
    ageFile(path());
    const FileStamp before = stampOf(path());
    const QList<StoreStep>& steps = storeSession();
    const qsizetype failing = steps.size() - 3;
    {
        std::shared_ptr<void> guard = fault.impose(dir.path());
        ASSERT_TRUE(guard) << "could not impose " << fault.name;
        for (qsizetype i = 0; i < failing; ++i) {
            steps[i].run(healthy);
            steps[i].run(store);
            // Checked while the fault is still in place: nothing may be opened here.
            const bool failed = store.lastWriteError().has_value();
            const bool sameRoutes = store.routes() == healthy.routes();
            EXPECT_TRUE(failed) << steps[i].name;
            EXPECT_TRUE(sameRoutes) << steps[i].name;
        }
    }
    EXPECT_EQ(stampOf(path()), before) << "the previous file must stay as it was";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
              QStringList{"routes.json"})
        << "no temporary file may be left behind";
    RouteStore old(fake.types, fake.workspace, path());
    EXPECT_FALSE(old.loadFailed()) << "the previous file still loads";

    // The first write after the fault stores everything memory holds.
    steps[failing].run(healthy);
    steps[failing].run(store);
    EXPECT_FALSE(store.lastWriteError().has_value());
    RouteStore reread(fake.types, fake.workspace, path());
    EXPECT_EQ(reread.routes(), store.routes());
    EXPECT_EQ(reread.routes(), healthy.routes());
    EXPECT_EQ(readState().routes, store.routes());
}

INSTANTIATE_TEST_SUITE_P(Faults, WriteFaults, ::testing::Range(0, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = writeFaults()[info.param].name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             std::erase(name, '-');
                             return name;
                         });
} // namespace
