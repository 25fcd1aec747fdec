# Routing: links, URL templates, opening in editors and the open pipeline.
corvanta_test(test_routing
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LinksAndTemplatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoutingPipelineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDeciderTest.cpp
  LIBS QuaylithLogic)

# The delegate, the tray menu and the executable's pieces.
corvanta_test(test_app_shell
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AppShellTest.cpp
  LIBS CorvantaApp Qt6::Test)

# Not a test: opens the tray menu on sample routes and saves a picture of it
# (run under xvfb-run).
add_executable(tray_menu_screenshot ${CMAKE_CURRENT_LIST_DIR}/TrayMenuScreenshot.cpp)
target_link_libraries(tray_menu_screenshot PRIVATE FakePlatform QuaylithCore corvanta_warnings)
