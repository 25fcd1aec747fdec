# The selection read from a real Thunar on a real X server with openbox.
add_executable(clipboard_seed ${CMAKE_CURRENT_LIST_DIR}/../support/clipboard_seed.cpp)
target_link_libraries(clipboard_seed PRIVATE Qt6::Gui corvanta_warnings)
add_executable(clipboard_manager ${CMAKE_CURRENT_LIST_DIR}/../support/clipboard_manager.cpp)
target_link_libraries(clipboard_manager PRIVATE CorvantaLinux corvanta_warnings)

corvanta_e2e_test(test_selection_e2e ${CMAKE_CURRENT_LIST_DIR}/SelectionEndToEndTest.cpp)
target_compile_definitions(test_selection_e2e PRIVATE
  CORVANTA_PATH="$<TARGET_FILE:corvanta>"
  CLIPBOARD_SEED_PATH="$<TARGET_FILE:clipboard_seed>" CORVANTA_TEST_GUI_APPLICATION)
add_dependencies(test_selection_e2e clipboard_seed)
# One ctest entry: its own X server for the whole run, started by xvfb-run.
add_test(NAME selection_e2e COMMAND xvfb-run -a -n 160 -s "-screen 0 1280x800x24"
  $<TARGET_FILE:test_selection_e2e>)
set_tests_properties(selection_e2e PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 180)

# The Linux selection pieces that need no X server.
corvanta_test(test_selection_platform
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SelectionPlatformTest.cpp
  LIBS CorvantaApp)
