# End to end through the picker: Corvanta installed into the throw-away home's
# prefix shows its picker on a real X server, driven by keys sent with xdotool.
corvanta_e2e_test(test_picker_e2e ${CMAKE_CURRENT_LIST_DIR}/PickerEndToEndTest.cpp)
# One ctest entry: its own X server for the whole run, started by xvfb-run.
add_test(NAME picker_e2e COMMAND xvfb-run -a -n 140 -s "-screen 0 1280x800x24"
  $<TARGET_FILE:test_picker_e2e>)
# Alone: its keys and the grab it waits for miss their moment on a loaded machine.
set_tests_properties(picker_e2e PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 120 RUN_SERIAL TRUE)

