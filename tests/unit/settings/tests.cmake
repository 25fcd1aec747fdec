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
target_link_libraries(settings_screenshot PRIVATE FakePlatform QuaylithCore corvanta_warnings)
