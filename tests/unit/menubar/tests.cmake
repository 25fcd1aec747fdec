# Tests of core/menubar: window presentation, the main menu, the drop palette
# and onboarding.
corvanta_test(test_menubar
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowPresentationTest.cpp
  LIBS QuaylithCore Qt6::Test)
