# Drags of another program over the tray icon and onto the drop palette, on a
# real X server with a window manager.
add_executable(tray_drag_source ${CMAKE_CURRENT_LIST_DIR}/TrayDragSource.cpp)
target_link_libraries(tray_drag_source PRIVATE Qt6::Widgets corvanta_warnings)
add_executable(test_tray_drag ${CMAKE_CURRENT_LIST_DIR}/TrayDragTest.cpp)
target_link_libraries(test_tray_drag PRIVATE CorvantaLinux QuaylithCore GTest::gtest Qt6::Test PkgConfig::XCB
  corvanta_warnings)
target_compile_definitions(test_tray_drag PRIVATE
  CORVANTA_DRAG_SOURCE_PATH="$<TARGET_FILE:tray_drag_source>")
add_dependencies(test_tray_drag tray_drag_source)
add_test(NAME tray_drag COMMAND xvfb-run -a -n 170 -s "-screen 0 1280x800x24"
  $<TARGET_FILE:test_tray_drag>)
set_tests_properties(tray_drag PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 120)
