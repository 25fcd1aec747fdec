# Tests of core/menubar: the tray menu, window presentation, the main menu, the
# drop palette and onboarding.
corvanta_test(test_menubar
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowPresentationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DropPaletteTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PresenceTest.cpp
  LIBS QuaylithCore Qt6::Test)

# Not a test: saves pictures of the drop palette and the onboarding pages
# (run under xvfb-run).
add_executable(presence_screenshot ${CMAKE_CURRENT_LIST_DIR}/PresenceScreenshot.cpp)
target_link_libraries(presence_screenshot PRIVATE FakePlatform CorvantaLinux QuaylithCore
  corvanta_warnings)

# Not a test: opens the tray menu on sample routes and saves a picture of it
# (run under xvfb-run).
add_executable(tray_menu_screenshot ${CMAKE_CURRENT_LIST_DIR}/TrayMenuScreenshot.cpp)
target_link_libraries(tray_menu_screenshot PRIVATE FakePlatform QuaylithCore corvanta_warnings)
