// Runs on an X server without a compositing manager (xvfb-run) and plays one
// by taking the manager's selection.
#include "platform/linux/X11Compositing.h"
#include "tests/support/SelectionOwnerClient.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {
TEST(X11Compositing, TranslucentOnlyWhileAManagerOwnsTheScreensSelection) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());

    // Another client, as a compositing manager is.
    SelectionOwnerClient manager("_NET_WM_CM_S0");
    ASSERT_TRUE(manager.connected());
    EXPECT_TRUE(X11Compositing::windowsCanBeTranslucent());

    manager.disconnect();
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());
}
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
