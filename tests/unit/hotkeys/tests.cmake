# Rule hotkeys: the hotkey center, the recorder's logic and its widget.
corvanta_test(test_hotkeys
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/RuleHotkeyCenterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HotkeyRecorderTest.cpp
  LIBS QuaylithLogic)

corvanta_test(test_hotkey_widgets
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/HotkeyRecorderViewTest.cpp
  LIBS QuaylithCore Qt6::Test)
