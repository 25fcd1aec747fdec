# End to end through the picker: Corvanta installed into the throw-away home's
# prefix shows its picker on a real X server, driven by keys sent with xdotool.
add_executable(test_picker_e2e
  ${CMAKE_CURRENT_LIST_DIR}/PickerEndToEndTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxSandbox.cpp
)
target_link_libraries(test_picker_e2e PRIVATE
  CorvantaLinux GTest::gtest Qt6::DBus corvanta_warnings)
target_compile_definitions(test_picker_e2e PRIVATE QT_NO_KEYWORDS
  CORVANTA_BINARY_DIR="${PROJECT_BINARY_DIR}"
  CORVANTA_RECORDER_PATH="$<TARGET_FILE:corvanta_recorder>")
add_dependencies(test_picker_e2e corvanta_recorder corvanta)
# One ctest entry: its own X server for the whole run, started by xvfb-run.
add_test(NAME picker_e2e COMMAND xvfb-run -a -s "-screen 0 1280x800x24"
  $<TARGET_FILE:test_picker_e2e>)
set_tests_properties(picker_e2e PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 120)

# Whether the picker may be translucent, asked of a real X server.
add_executable(test_x11_compositing ${CMAKE_CURRENT_LIST_DIR}/X11CompositingTest.cpp)
target_link_libraries(test_x11_compositing PRIVATE
  CorvantaLinux GTest::gtest PkgConfig::XCB corvanta_warnings)
add_test(NAME x11_compositing COMMAND xvfb-run -a $<TARGET_FILE:test_x11_compositing>)
set_tests_properties(x11_compositing PROPERTIES LABELS "integration" TIMEOUT 60)
