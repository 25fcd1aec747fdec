# One writer of the routes file: the tray instance on a real X server, with its
# dialogs answered through xdotool, next to `corvanta teach` and hand edits.
corvanta_e2e_test(test_ownership_e2e ${CMAKE_CURRENT_LIST_DIR}/OwnershipEndToEndTest.cpp)
add_test(NAME ownership_e2e COMMAND xvfb-run -a -n 110 -s "-screen 0 1280x800x24"
  $<TARGET_FILE:test_ownership_e2e>)
set_tests_properties(ownership_e2e PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 180)
