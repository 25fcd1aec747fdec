// Runs the Linux platform tests inside a sandboxed home. The environment must
// be in place before GIO and D-Bus are first used, so it is set up here, before
// any test starts.
#include "tests/integration/LinuxSandbox.h"

#include <QCoreApplication>
#ifdef CORVANTA_TEST_GUI_APPLICATION
#include <QGuiApplication>
#endif
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    LinuxSandbox& sandbox = LinuxSandbox::current();
    if (!sandbox.setUp(QStringLiteral(CORVANTA_RECORDER_PATH))) {
        std::fprintf(stderr, "cannot set up the test home: %s\n", qPrintable(sandbox.error()));
        sandbox.tearDown();
        return 1;
    }
    int result = 0;
    {
#ifdef CORVANTA_TEST_GUI_APPLICATION
        // For tests where this process owns the clipboard as the tray app would.
        QGuiApplication app(argc, argv);
#else
        QCoreApplication app(argc, argv);
#endif
        result = RUN_ALL_TESTS();
    }
    sandbox.tearDown();
    return result;
}
