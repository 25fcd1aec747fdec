#include "app/RoutesFileOwner.h"
#include "app/TeachCommand.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {
// `corvanta teach` in its own process (no instance to hand over to): a type is
// taught only when it reached the file, whatever kept it from getting there.
TEST(TeachCommand, ExitsNonZeroUnlessTheTaughtTypeWasSaved) {
    enum class Store { writable, unwritableFolder, readOnly, damaged };
    const struct {
        const char* name;
        Store store;
        int status;
        const char* err;
    } cases[] = {
        {"saved", Store::writable, 0, ""},
        {"the write failed", Store::unwritableFolder, 1, "could not save"},
        {"another process owns the file", Store::readOnly, 1, "not this process's to write"},
        {"the file could not be loaded", Store::damaged, 1, "could not be loaded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        FakePlatform fake;
        fake.types.addType("text/x-zq", {"zq"}, {"text/plain"}, "ZQ document");
        fake.alerts.answers = {0, 0, 0}; // "Add Type", then whatever follows
        QString path = dir.filePath("routes.json");
        if (c.store == Store::unwritableFolder)
            path = dir.filePath("missing/routes.json");
        if (c.store == Store::damaged)
            writeFile(path, "{");
        RouteStore store(fake.types, fake.workspace, path,
                         c.store == Store::readOnly ? RouteStore::Access::readOnly
                                                    : RouteStore::Access::readWrite);
        const QString sample = dir.filePath("sample.zq");
        writeFile(sample, "zq\n");

        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        const int status = TeachCommand(out, err, fake.platform(), store).run({sample});
        out.flush();
        err.flush();
        EXPECT_EQ(status, c.status) << qPrintable(outText + errText);
        EXPECT_TRUE(errText.contains(c.err)) << qPrintable(errText);
        EXPECT_EQ(readFile(path).contains("zq"), c.status == 0);
    }
}

TEST(RoutesFileOwner, OneOwnerAtATimeAndAnEndedOwnerIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Corvanta/routes.json");
    {
        const RoutesFileOwner first(path);
        ASSERT_TRUE(first.owns());
        EXPECT_EQ(first.access(), RouteStore::Access::readWrite);
        const RoutesFileOwner second(path);
        EXPECT_FALSE(second.owns());
        EXPECT_EQ(second.access(), RouteStore::Access::readOnly);
        EXPECT_EQ(second.ownerPid(), QCoreApplication::applicationPid());
        EXPECT_TRUE(second.refusal().contains(path)) << qPrintable(second.refusal());
    }
    // Let go when its process ends.
    EXPECT_TRUE(RoutesFileOwner(path).owns());

    // A process that ended without letting go (killed, crashed) leaves its lock behind.
    writeFile(path + ".lock",
              "999999999\ncorvanta\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    EXPECT_TRUE(RoutesFileOwner(path).owns());
}
} // namespace
