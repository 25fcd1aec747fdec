# Tests of core/selection: the helper installer, the runner with real helper
# programs, and the helpers themselves against stand-in desktop tools.
corvanta_test(test_selection_scripts
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ApplicationScriptsInstallerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionScriptRunnerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionHelperProgramTest.cpp
  LIBS CorvantaLinux)

# Selection: the resolver, its sources and the permission probes, on fakes.
corvanta_test(test_selection
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FileManagerActionsInstallerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileManagerActionsKeeperTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PermissionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectionResolverTest.cpp
  LIBS QuaylithLogic)

# The delegate's hotkey path and its selection flags.
corvanta_test(test_selection_delegate
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DelegateSelectionTest.cpp
  LIBS QuaylithCore)
