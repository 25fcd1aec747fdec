// Runs on an X server without a compositing manager (xvfb-run) and plays one
// by taking the manager's selection.
#include "platform/linux/X11Compositing.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {
xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

TEST(X11Compositing, TranslucentOnlyWhileAManagerOwnsTheScreensSelection) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());

    // Another client, as a compositing manager is.
    xcb_connection_t* manager = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(manager), 0);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(manager)).data;
    const xcb_window_t window = xcb_generate_id(manager);
    xcb_create_window(manager, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = internAtom(manager, "_NET_WM_CM_S0");
    xcb_set_selection_owner(manager, window, selection, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(manager, xcb_get_input_focus(manager), nullptr)); // sync
    EXPECT_TRUE(X11Compositing::windowsCanBeTranslucent());

    xcb_disconnect(manager); // the selection goes with its owner
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    std::free(xcb_get_input_focus_reply(probe, xcb_get_input_focus(probe), nullptr));
    xcb_disconnect(probe);
    EXPECT_FALSE(X11Compositing::windowsCanBeTranslucent());
}
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
