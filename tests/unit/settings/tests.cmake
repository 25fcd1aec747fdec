# Tests of core/settings.
corvanta_test(test_settings_logic
  SOURCES unit/settings/SettingsLogicTest.cpp)
corvanta_test(test_settings_window
  SOURCES unit/settings/SettingsWindowTest.cpp unit/settings/SettingsSheetsTest.cpp
    unit/settings/SettingsPermissionsTest.cpp
  LIBS QuaylithCore Qt6::Test)

# Not a test: shows the settings window and its sheets and saves pictures of
# them (run under xvfb-run).
add_executable(settings_screenshot unit/settings/SettingsScreenshot.cpp)
target_link_libraries(settings_screenshot PRIVATE FakePlatform QuaylithCore Qt6::Test corvanta_warnings)

# The window as a screen reader hears it: a real X server and accessibility bus.
add_executable(test_settings_atspi unit/settings/SettingsAccessibilityBusTest.cpp)
target_link_libraries(test_settings_atspi PRIVATE FakePlatform QuaylithCore Qt6::DBus Qt6::Test
  GTest::gtest_main corvanta_warnings)
add_test(NAME settings_atspi COMMAND xvfb-run -a -s "-screen 0 1280x900x24"
  dbus-run-session -- $<TARGET_FILE:test_settings_atspi>)
set_tests_properties(settings_atspi PROPERTIES LABELS "integration"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 180)
