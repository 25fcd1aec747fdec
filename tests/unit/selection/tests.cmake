# Tests of core/selection: the helper installer, the runner with real helper
# programs, and the helpers themselves against stand-in desktop tools.
corvanta_test(test_selection
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ApplicationScriptsInstallerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionScriptRunnerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionHelperProgramTest.cpp
  LIBS CorvantaLinux)
