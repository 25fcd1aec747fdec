# The settings window of the tray instance on a real X server, shown through the
# desktop's "settings" action and driven with keys sent by xdotool; a rule added
# there is then run by its hotkey on files selected in Thunar, the user's
# clipboard given back; the tray menu in trayer, a real tray, shows why a routed
# file opened where it did.
corvanta_e2e_test(test_settings_e2e ${CMAKE_CURRENT_LIST_DIR}/SettingsEndToEndTest.cpp)
target_compile_definitions(test_settings_e2e PRIVATE
  CLIPBOARD_SEED_PATH="$<TARGET_FILE:clipboard_seed>"
  CLIPBOARD_MANAGER_PATH="$<TARGET_FILE:clipboard_manager>")
add_dependencies(test_settings_e2e clipboard_seed clipboard_manager)
add_test(NAME settings_e2e COMMAND xvfb-run -a -n 190 -s "-screen 0 1280x1024x24"
  $<TARGET_FILE:test_settings_e2e>)
set_tests_properties(settings_e2e PROPERTIES LABELS "integration;e2e"
  ENVIRONMENT "LC_ALL=C.UTF-8;QT_QPA_PLATFORM=xcb" TIMEOUT 180)
